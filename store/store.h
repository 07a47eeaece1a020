// The object store: every object read from a mission file, with its
// name/value arguments, in creation order. Objects are only ever appended;
// an object's id is its position in the list. Texts are views: into the
// source bytes the store keeps for the run, or into texts handed to KeepText.
// An argument written name="value" in the source is stored as where it lies,
// in 6 bytes; a mission's store is little larger than its source.
#ifndef VEXLAR_STORE_STORE_H_
#define VEXLAR_STORE_STORE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

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

/// The longest name and value that the store keeps as where they lie in the
/// source; a longer one costs a copy of its two views. The reader's looks
/// stay within these.
constexpr std::size_t kLongestPackedName = 63;
constexpr std::size_t kLongestPackedValue = 1023;

// The store's records; see store/packed_arguments.h.
struct ArgumentTexts;
struct PackedArgument;

/// The arguments of one object, in source order, handed out as views: those
/// it had when the list was taken.
class ArgumentList {
 public:
  class Iterator;

  Iterator begin() const;
  Iterator end() const;
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  /// REQUIRES: i < size().
  ObjectArgument operator[](std::size_t i) const;

 private:
  friend struct SourceObject;
  ArgumentList(const ArgumentTexts* texts, const PackedArgument* records, std::uint32_t size)
      : texts_(texts), records_(records), size_(size) {}

  const ArgumentTexts* texts_;
  const PackedArgument* records_;
  std::uint32_t size_;
};

class ArgumentList::Iterator {
 public:
  using value_type = ObjectArgument;
  Iterator(const ArgumentList& list, std::uint32_t index) : list_(list), index_(index) {}
  ObjectArgument operator*() const { return list_[index_]; }
  Iterator& operator++() {
    ++index_;
    return *this;
  }
  bool operator!=(const Iterator& other) const { return index_ != other.index_; }

 private:
  ArgumentList list_;
  std::uint32_t index_;
};

inline ArgumentList::Iterator ArgumentList::begin() const { return {*this, 0}; }
inline ArgumentList::Iterator ArgumentList::end() const { return {*this, size_}; }

struct SourceObject {
  std::uint32_t id = 0;
  std::int32_t nameNumber = kNoHeaderNumber;

  /// "group" for the header "class _group_3".
  std::string_view name() const { return {name_, name_size_}; }
  /// Names are short (a header's look is 63 characters); one longer than
  /// kMaxNameSize throws std::length_error.
  static constexpr std::size_t kMaxNameSize = 0xFFFF;
  void SetName(std::string_view name);

  ArgumentList arguments() const { return {texts_, records_, argument_count_}; }

 private:
  friend class ObjectStore;
  const char* name_ = nullptr;
  // Set by the store; the records lie in its arena.
  const ArgumentTexts* texts_ = nullptr;
  PackedArgument* records_ = nullptr;
  std::uint32_t argument_count_ = 0;

 public:
  // Here, beside the count and the name's size, an object takes 40 bytes
  // (checked in store.cc).
  ObjectType type = ObjectType::kUnknown;

 private:
  std::uint16_t name_size_ = 0;
};

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
/// The position in the list of the first argument named `key` (any letter
/// case), or nothing: the one search the lookups share.
std::optional<std::size_t> FindArgumentIndex(const ArgumentList& arguments, std::string_view key);
/// The value of the first argument named PLAYER (any letter case) in
/// `arguments`, or nothing.
std::optional<std::string_view> FindPlayerArgument(const ArgumentList& arguments);

/// The number formed by the digits after the rightmost underscore that is
/// directly followed by a digit ("_group_12" gives 12, "a_1_2" gives 2). A run
/// of digits too large for 32 bits gives INT32_MAX. Without such an
/// underscore: kNoReferenceNumber.
std::int32_t NumberAfterUnderscore(std::string_view text);

/// The header name of an object for messages: "_group_3", "_unit_" without
/// a number.
std::string HeaderName(std::string_view name, std::int32_t number);

class ObjectStore {
 public:
  ObjectStore();
  ~ObjectStore();
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  /// Keeps a copy of `text` for the rest of the run and returns a view of it.
  std::string_view KeepText(std::string_view text);
  /// Keeps a file's bytes for the rest of the run and returns a view of them.
  std::string_view KeepFile(platform::FileBytes bytes);

  /// Arguments written as name="value" in `source` are stored as where they
  /// lie from now on; only the first call counts. REQUIRES: `source`
  /// outlives the store's use of it.
  void SetSource(std::string_view source);

  /// A new object with an empty argument list and the id NextObjectId(),
  /// which then grows by one. REQUIRES: the object is appended with
  /// AppendToList before the next NewSourceObject call.
  SourceObject NewSourceObject();

  /// Appends an object made by NewSourceObject at the end of the list.
  /// Returns the stored object, whose address stays valid for the run.
  SourceObject& AppendToList(SourceObject object);

  /// Appends an argument at the end of the argument list of `object`: in
  /// place when its list is the last one stored, else the list moves.
  void AppendArgument(SourceObject& object, const ObjectArgument& argument);
  /// Gives the argument at `index` of `object`'s list the value `value`.
  /// REQUIRES: index < object.arguments().size().
  void SetArgumentValue(SourceObject& object, std::size_t index, std::string_view value);

  /// The next object of `type` in list order that `visited` has not handed
  /// out yet, or null; records it in `visited`. Objects appended during an
  /// enumeration are handed out too. REQUIRES: `visited` is used for one
  /// type between Clear() calls.
  SourceObject* NextObjectOfType(ObjectType type, VisitedIds* visited);

  /// The id the next object will get; also the number of objects.
  std::uint32_t NextObjectId() const { return next_object_id_; }
  /// The object with the id `id`. REQUIRES: id < NextObjectId().
  const SourceObject& object(std::uint32_t id) const {
    return object_blocks_[id / kObjectBlock][id % kObjectBlock];
  }

  /// One line per object, "id type name nameNumber" followed by its
  /// arguments as name="value"; for tests.
  std::string DebugString() const;

 private:
  // Objects sit in blocks that never move, found by id: a mission of a
  // million objects then costs a few hundred allocations, not millions.
  static constexpr std::size_t kObjectBlock = 4096;
  SourceObject& Slot(std::uint32_t id) {
    return object_blocks_[id / kObjectBlock][id % kObjectBlock];
  }

  // The arguments' records and the texts kept for the run (store.cc).
  struct Kept;

  std::vector<std::unique_ptr<SourceObject[]>> object_blocks_;
  std::uint32_t next_object_id_ = 0;
  std::uint32_t listed_ = 0;  // objects appended to the list
  // Ids of each enumerable type in list order, so that enumerating one type
  // costs time in proportion to the objects of that type.
  std::array<std::vector<std::uint32_t>, kObjectTypeCount> ids_by_type_;
  std::unique_ptr<Kept> kept_;
};

}  // namespace vexlar

#endif  // VEXLAR_STORE_STORE_H_
