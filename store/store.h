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
#include <deque>
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

/// Where the texts of stored arguments lie: the source bytes, and the
/// arguments whose texts lie elsewhere (kept texts, names the program
/// gives), stored whole.
struct ArgumentTexts {
  std::string_view source;
  std::deque<ObjectArgument> loose;
};

/// An argument as stored, in 6 bytes. One written as name="value" in the
/// source holds where (the name's offset and length, the value's length);
/// any other holds an index into ArgumentTexts::loose.
struct PackedArgument {
  std::uint16_t part[3];
};

/// The arguments of one object, in source order, handed out as views.
class ArgumentList {
 public:
  class Iterator {
   public:
    using value_type = ObjectArgument;
    Iterator(const ArgumentTexts* texts, const PackedArgument* at) : texts_(texts), at_(at) {}
    ObjectArgument operator*() const;
    Iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }

   private:
    const ArgumentTexts* texts_;
    const PackedArgument* at_;
  };

  ArgumentList(const ArgumentTexts* texts, const PackedArgument* packed, std::uint32_t size)
      : texts_(texts), packed_(packed), size_(size) {}
  Iterator begin() const { return {texts_, packed_}; }
  Iterator end() const { return {texts_, packed_ + size_}; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  ObjectArgument operator[](std::size_t i) const { return *Iterator(texts_, packed_ + i); }
  /// The stored records, for prefetching.
  const PackedArgument* data() const { return packed_; }

 private:
  const ArgumentTexts* texts_;
  const PackedArgument* packed_;
  std::uint32_t size_;
};

namespace packed {
// The fields of a record, lowest bits first: offset, name length, value
// length; the loose flag on top.
constexpr unsigned kNameLengthShift = 30, kValueLengthShift = 36;
constexpr std::uint64_t kOffsetLimit = std::uint64_t{1} << kNameLengthShift;
constexpr std::uint64_t kNameLengthLimit = 64, kValueLengthLimit = 1024;
constexpr std::uint64_t kLoose = std::uint64_t{1} << 47;

inline std::uint64_t Load(PackedArgument record) {
  return record.part[0] | std::uint64_t{record.part[1]} << 16 | std::uint64_t{record.part[2]} << 32;
}
inline PackedArgument Store(std::uint64_t bits) {
  return {{static_cast<std::uint16_t>(bits), static_cast<std::uint16_t>(bits >> 16),
           static_cast<std::uint16_t>(bits >> 32)}};
}
}  // namespace packed

inline ObjectArgument ArgumentList::Iterator::operator*() const {
  const std::uint64_t record = packed::Load(*at_);
  if (record & packed::kLoose) return texts_->loose[record & ~packed::kLoose];
  const char* name = texts_->source.data() + (record & (packed::kOffsetLimit - 1));
  const std::size_t name_length =
      (record >> packed::kNameLengthShift) & (packed::kNameLengthLimit - 1);
  const std::size_t value_length =
      (record >> packed::kValueLengthShift) & (packed::kValueLengthLimit - 1);
  return {{name, name_length}, {name + name_length + 2, value_length}};  // after ="
}

struct SourceObject {
  std::uint32_t id = 0;
  std::int32_t nameNumber = kNoHeaderNumber;

  /// "group" for the header "class _group_3".
  std::string_view name() const { return {name_, name_size_}; }
  /// Names are short (a header's look is 63 characters); one longer than
  /// kMaxNameSize throws std::length_error.
  static constexpr std::size_t kMaxNameSize = 0xFFFF;
  void SetName(std::string_view name);

  ArgumentList arguments() const { return {texts_, packed_, argument_count_}; }

 private:
  friend class ObjectStore;
  const char* name_ = nullptr;
  // Set by the store; the records lie in one of its blocks.
  const ArgumentTexts* texts_ = nullptr;
  PackedArgument* packed_ = nullptr;
  std::uint32_t argument_count_ = 0;

 public:
  // Here, beside the count and the name's size, an object takes 40 bytes.
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
/// case), or nothing.
std::optional<std::size_t> FindArgumentIndex(const ArgumentList& arguments, std::string_view key);
/// The first argument of `object` named `key` (any letter case), or nothing.
std::optional<ObjectArgument> FindArgument(const SourceObject& object, std::string_view key);
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
  ObjectStore() = default;
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  /// Keeps `text` for the rest of the run and returns a view of it.
  std::string_view KeepText(std::string text);
  /// Keeps a file's bytes for the rest of the run and returns a view of them.
  std::string_view KeepFile(platform::FileBytes bytes);

  /// Arguments written as name="value" in `source` are stored as where they
  /// lie (PackedArgument) from now on; only the first call counts. REQUIRES: `source` outlives the
  /// store's use of it.
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
  /// Inline: the reader appends every argument of the mission here.
  void AppendArgument(SourceObject& object, ObjectArgument argument) {
    const PackedArgument record = Pack(argument);
    if (object.argument_count_ > 0 && object.packed_ + object.argument_count_ == argument_free_ &&
        argument_free_ != argument_end_) {
      *argument_free_++ = record;
      ++object.argument_count_;
    } else {
      AppendMoving(object, record);
    }
  }
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
  // Objects, argument records and small kept texts sit in large blocks that
  // never move: a mission of a million objects then costs a few hundred
  // allocations, not millions.
  static constexpr std::size_t kObjectBlock = 4096;
  static constexpr std::size_t kArgumentBlock = std::size_t{1} << 16;
  static constexpr std::size_t kTextBlock = std::size_t{1} << 16;
  static constexpr std::size_t kLargeText = 256;  // kept in a string of its own

  SourceObject& Slot(std::uint32_t id) {
    return object_blocks_[id / kObjectBlock][id % kObjectBlock];
  }
  // The record of `argument`: its place in the source when it is written
  // there as name="value" within the field sizes (the reader's looks keep
  // names and values well inside them), else the index of a loose copy.
  PackedArgument Pack(ObjectArgument argument) {
    const auto address = [](std::string_view text) {
      return reinterpret_cast<std::uintptr_t>(text.data());
    };
    const std::uintptr_t source = address(texts_.source);
    const std::uintptr_t name = address(argument.name), value = address(argument.value);
    if (argument.name.data() != nullptr && argument.value.data() != nullptr && name >= source &&
        value == name + argument.name.size() + 2 &&
        value + argument.value.size() <= source + texts_.source.size() &&
        name - source < packed::kOffsetLimit && argument.name.size() < packed::kNameLengthLimit &&
        argument.value.size() < packed::kValueLengthLimit) {
      return packed::Store(std::uint64_t{name - source} |
                           std::uint64_t{argument.name.size()} << packed::kNameLengthShift |
                           std::uint64_t{argument.value.size()} << packed::kValueLengthShift);
    }
    return PackLoose(argument);
  }
  PackedArgument PackLoose(ObjectArgument argument);
  // AppendArgument when the list must move to grow.
  void AppendMoving(SourceObject& object, PackedArgument record);
  // Room for `count` records in the last block.
  PackedArgument* ArgumentRoom(std::size_t count);

  std::vector<std::unique_ptr<SourceObject[]>> object_blocks_;
  std::uint32_t next_object_id_ = 0;
  std::uint32_t listed_ = 0;  // objects appended to the list
  // Ids of each enumerable type in list order, so that enumerating one type
  // costs time in proportion to the objects of that type.
  std::array<std::vector<std::uint32_t>, kObjectTypeCount> ids_by_type_;
  ArgumentTexts texts_;
  bool source_set_ = false;
  std::vector<std::unique_ptr<PackedArgument[]>> argument_blocks_;
  PackedArgument* argument_free_ = nullptr;  // in the last block
  PackedArgument* argument_end_ = nullptr;
  std::vector<std::unique_ptr<char[]>> text_blocks_;
  char* text_free_ = nullptr;  // in the last block
  char* text_end_ = nullptr;
  std::deque<std::string> large_texts_;
  std::deque<platform::FileBytes> files_;
};

}  // namespace vexlar

#endif  // VEXLAR_STORE_STORE_H_
