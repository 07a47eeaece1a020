// Position texts: the value of a POSITION argument, "[first,second,third]"
// in the 3D editor's axis order, the third being the height. The 2D editor
// lists first, third, second; a unit or empty vehicle above the ground keeps
// its height through a setpos statement added to its init text.
#ifndef VEXLAR_WRITER_POSITION_H_
#define VEXLAR_WRITER_POSITION_H_

#include <string>
#include <string_view>

#include "store/store.h"

namespace vexlar {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

/// The longest leading decimal number of `text` (after leading white space:
/// sign, digits with an optional point, optional exponent), or 0 when there
/// is none. Hexadecimal, "inf" and "nan" are no decimal numbers.
double ParseDecimal(std::string_view text);

/// The three numbers of a position text; missing or malformed fields are 0.
/// "[1,2,3,4]" gives 1, 2 and 34 (further numbers are glued to the third).
Vec3 ParsePosition(std::string_view text);

/// The three fields of a POSITION value, copied as written (never empty: an
/// empty field is "0"). The first and last characters, taken to be the
/// brackets, are not read.
struct PositionFields {
  std::string first;
  std::string second;
  std::string third;
};
PositionFields SplitPosition(std::string_view value);

/// Prepares a unit or empty vehicle for writing: cuts its POSITION value
/// after the last ']' and, when the height is not 0, appends
/// "; this setpos <position>;" to its INIT value or adds an INIT argument
/// "this setpos <position>;" at the end of its list. New texts are kept by
/// `store`. Without a POSITION argument nothing changes.
void ApplyHeightRule(SourceObject& object, ObjectStore* store);

}  // namespace vexlar

#endif  // VEXLAR_WRITER_POSITION_H_
