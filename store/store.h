// The object store: every object read from a mission file, with its
// name/value arguments, in creation order. Objects are only ever appended;
// an object's id is its position in the list. Texts are views: into the
// source bytes the store keeps for the run, or into texts handed to KeepText.
#ifndef VEXLAR_STORE_STORE_H_
#define VEXLAR_STORE_STORE_H_

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexlar {

/// The kind of an object, from the keyword of its objectType line.
enum class ObjectType : std::uint16_t {
  kPrefix = 0,
  kPostfix = 1,
  kCenter = 2,
  kGroup = 3,
  kUnit = 4,
  kTrigger = 5,
  kWaypoint = 6,
  kVehicle = 7,
  kMarker = 8,
  kIntel = 9,
  kObjectComposition = 10,
  /// No objectType line was read, or its keyword is none of the above.
  /// Never handed out by NextObjectOfType.
  kUnknown = 0xFFFF,
};
constexpr std::size_t kObjectTypeCount = 11;

/// The type of `keyword` (exact, case-sensitive), or kUnknown.
ObjectType ObjectTypeFromKeyword(std::string_view keyword);
/// The keyword of `type`; "?" for kUnknown.
std::string_view ObjectTypeKeyword(ObjectType type);
/// The keyword with its article, for messages: "a unit", "an intel".
std::string ObjectTypePhrase(ObjectType type);

/// Number of an object whose header holds no number. Matches no reference.
constexpr std::int32_t kNoHeaderNumber = -1;
/// NumberAfterUnderscore of a text without an underscore followed by a digit.
/// Matches no header number, kNoHeaderNumber included.
constexpr std::int32_t kNoReferenceNumber = -2;

/// One name/value pair of an object's Arguments block. The value is the text
/// between its quotes exactly as written, inner quote characters included.
struct ObjectArgument {
  std::string_view name;
  std::string_view value;
};

struct SourceObject {
  std::uint32_t id = 0;
  std::string_view name;  // "group" for the header "class _group_3"
  std::int32_t nameNumber = kNoHeaderNumber;
  ObjectType type = ObjectType::kUnknown;
  std::vector<ObjectArgument> arguments;  // in source order
};

/// All objects in creation order. A deque keeps their addresses stable.
using ObjectList = std::deque<SourceObject>;

/// The progress of one enumeration of one object type. Clear() starts the
/// enumeration afresh.
struct VisitedIds {
  std::size_t handed_out = 0;
  void Clear() { handed_out = 0; }
};

/// The value of the first argument of `object` named `key` (any letter case),
/// or nothing. The view stays valid for the run.
std::optional<std::string_view> FindArgumentValue(const SourceObject& object, std::string_view key);
/// The value of the first argument of `object` named `key`, for a key the
/// caller expects to be present: an absent key gives the empty text, which
/// names no centre and no group.
std::string_view RequireArgumentValue(const SourceObject& object, std::string_view key);
/// The first argument of `object` named `key` (any letter case), for callers
/// that change its value or need its name; or null.
ObjectArgument* FindArgument(SourceObject& object, std::string_view key);
const ObjectArgument* FindArgument(const SourceObject& object, std::string_view key);
/// The value of the first argument named PLAYER (any letter case) in
/// `arguments`, or nothing.
std::optional<std::string_view> FindPlayerArgument(const std::vector<ObjectArgument>& arguments);

/// The number formed by the digits after the rightmost underscore that is
/// directly followed by a digit ("_group_12" gives 12, "a_1_2" gives 2). A run
/// of digits too large for 32 bits gives INT32_MAX. Without such an
/// underscore: kNoReferenceNumber.
std::int32_t NumberAfterUnderscore(std::string_view text);

/// The header name of an object for messages: "_group_3", "_unit_" without
/// a number.
std::string HeaderName(std::string_view name, std::int32_t number);

/// True when a reference number names the object number `name_number`.
inline bool NumberMatches(std::int32_t reference, std::int32_t name_number) {
  return reference >= 0 && reference == name_number;
}

/// Appends an argument at the end of an object's argument list.
void AppendArgument(SourceObject& object, ObjectArgument argument);

class ObjectStore {
 public:
  ObjectStore() = default;
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  /// Keeps `text` for the rest of the run and returns a view of it.
  std::string_view KeepText(std::string text);

  /// A new object with an empty argument list and the id NextObjectId(),
  /// which then grows by one. REQUIRES: the object is appended with
  /// AppendToList before the next NewSourceObject call.
  SourceObject NewSourceObject();

  /// Appends an object made by NewSourceObject at the end of ObjectList.
  /// Returns the stored object, whose address stays valid for the run.
  SourceObject& AppendToList(SourceObject object);

  /// The next object of `type` in list order that `visited` has not handed
  /// out yet, or null; records it in `visited`. Objects appended during an
  /// enumeration are handed out too. REQUIRES: `visited` is used for one
  /// type between Clear() calls.
  SourceObject* NextObjectOfType(ObjectType type, VisitedIds* visited);

  /// The id the next object will get; also the number of objects.
  std::uint32_t NextObjectId() const { return next_object_id_; }
  const ObjectList& objects() const { return objects_; }
  SourceObject& object(std::uint32_t id) { return objects_[id]; }

  /// One line per object, "id type name nameNumber" followed by its
  /// arguments as name="value"; for tests.
  std::string DebugString() const;

 private:
  ObjectList objects_;
  std::uint32_t next_object_id_ = 0;
  // Ids of each enumerable type in list order, so that enumerating one type
  // costs time in proportion to the objects of that type.
  std::array<std::vector<std::uint32_t>, kObjectTypeCount> ids_by_type_;
  std::deque<std::string> kept_texts_;
};

}  // namespace vexlar

#endif  // VEXLAR_STORE_STORE_H_
