// Position texts and the other three-number lists of the file formats:
// "[first,second,third]". A POSITION value lists the 3D editor's axes, the
// third being the height; a composition script's offset list reads the same
// way. One state machine splits all of them into three fields:
//   - field 1 takes every character but '[' and ',';
//   - fields 2 and 3 take every character but ']' and ',';
//   - a ',' moves from field 1 to 2 and from 2 to 3; in field 3 it is
//     dropped, so a fourth number is glued to the third;
//   - where a ']' ends the reading, if anywhere, is up to the caller.
#ifndef VEXLAR_TEXT_POSITION_H_
#define VEXLAR_TEXT_POSITION_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vexlar {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

/// Where a ']' ends the reading of a field list; elsewhere it is dropped.
enum class BracketEnds {
  kNever,
  kInThirdField,     // a POSITION value read as numbers
  kAfterFirstField,  // a composition script's offset list
};

/// The three fields of a list. A field that is one run of the text views
/// into it; one that a dropped character splits is joined in `joined`, so
/// the fields are valid while both the text and this object are.
struct TextFields {
  TextFields() = default;
  TextFields(const TextFields&) = delete;
  TextFields& operator=(const TextFields&) = delete;

  std::string_view field[3];
  /// Where the ']' that ended the reading stands in the text; npos when the
  /// text ran out first.
  std::size_t end = std::string_view::npos;
  std::string joined[3];
};

/// Splits `text` into `*fields`. Each field keeps at most `max_field`
/// characters; the rest of a longer one is read and dropped.
void SplitFields(std::string_view text, BracketEnds ends, std::size_t max_field,
                 TextFields* fields);

/// The three numbers of a position text, read up to a ']' in the third
/// field; a missing or malformed number is 0. "[1,2,3,4]" gives 1, 2, 34.
Vec3 ParsePosition(std::string_view text);

/// The fields of a POSITION value for the 2D editor's position line, copied
/// as written: all characters but the first and the last, taken to be the
/// brackets, are read, and no ']' ends the reading. An empty field is "0".
void SplitPosition(std::string_view value, TextFields* fields);

}  // namespace vexlar

#endif  // VEXLAR_TEXT_POSITION_H_
