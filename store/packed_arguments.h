// How the store keeps arguments: an argument written name="value" in the
// source is kept as where it lies, in a 6-byte record; any other is kept
// whole, and its record holds its index. Only store/ uses this header.
#ifndef VEXLAR_STORE_PACKED_ARGUMENTS_H_
#define VEXLAR_STORE_PACKED_ARGUMENTS_H_

#include <cstdint>
#include <deque>
#include <string_view>

#include "platform/platform.h"
#include "store/store.h"

namespace vexlar {

/// Where the texts of stored arguments lie: the source bytes, and the
/// arguments whose texts lie elsewhere (kept texts, names the program
/// gives), stored whole.
struct ArgumentTexts {
  std::string_view source;
  std::deque<ObjectArgument> loose;
};

/// An argument as stored: 48 bits in three 16-bit parts, so that a record
/// needs no alignment beyond 2 and an array of them no padding.
struct PackedArgument {
  std::uint16_t part[3];
};
static_assert(sizeof(PackedArgument) == 6, "a record is 6 bytes");

namespace packed {

// The fields of a record, lowest bits first: the name's offset in the
// source, the name's length, the value's length (the value starts 2 bytes
// after the name, past =" ); the loose flag on top, with the index of the
// loose argument in the bits below it.
constexpr unsigned kOffsetBits = 30, kNameLengthBits = 6, kValueLengthBits = 10;
constexpr unsigned kNameLengthShift = kOffsetBits;
constexpr unsigned kValueLengthShift = kNameLengthShift + kNameLengthBits;
constexpr unsigned kLooseShift = kValueLengthShift + kValueLengthBits;
constexpr std::uint64_t kOffsetLimit = std::uint64_t{1} << kOffsetBits;
constexpr std::uint64_t kNameLengthLimit = std::uint64_t{1} << kNameLengthBits;
constexpr std::uint64_t kValueLengthLimit = std::uint64_t{1} << kValueLengthBits;
constexpr std::uint64_t kLoose = std::uint64_t{1} << kLooseShift;

static_assert(kLooseShift < 8 * sizeof(PackedArgument), "the loose flag fits the record");
// Every name of a readable source lies at an offset the record can hold.
static_assert(platform::kMaxReadSize <= kOffsetLimit, "the offset field spans a whole source");
static_assert(kLongestPackedName == kNameLengthLimit - 1, "the name length field");
static_assert(kLongestPackedValue == kValueLengthLimit - 1, "the value length field");

inline std::uint64_t Load(PackedArgument record) {
  return record.part[0] | std::uint64_t{record.part[1]} << 16 | std::uint64_t{record.part[2]} << 32;
}
inline PackedArgument Store(std::uint64_t bits) {
  return {{static_cast<std::uint16_t>(bits), static_cast<std::uint16_t>(bits >> 16),
           static_cast<std::uint16_t>(bits >> 32)}};
}

}  // namespace packed

/// The record of `argument`: its place in `texts->source` when it is written
/// there as name="value" within the field sizes, else the index of a copy
/// appended to `texts->loose`.
inline PackedArgument Pack(const ObjectArgument& argument, ArgumentTexts* texts) {
  // Unsigned: a name before the source, or of no text at all, gives an
  // offset far beyond the limit.
  const std::uintptr_t name = reinterpret_cast<std::uintptr_t>(argument.name.data());
  const std::uintptr_t offset = name - reinterpret_cast<std::uintptr_t>(texts->source.data());
  const std::size_t name_size = argument.name.size(), value_size = argument.value.size();
  if (offset < packed::kOffsetLimit && name_size <= kLongestPackedName &&
      value_size <= kLongestPackedValue &&
      reinterpret_cast<std::uintptr_t>(argument.value.data()) == name + name_size + 2 &&
      offset + name_size + 2 + value_size <= texts->source.size()) {
    return packed::Store(std::uint64_t{offset} |
                         std::uint64_t{name_size} << packed::kNameLengthShift |
                         std::uint64_t{value_size} << packed::kValueLengthShift);
  }
  texts->loose.push_back(argument);
  return packed::Store(packed::kLoose | (texts->loose.size() - 1));
}

/// The argument `record` stands for.
inline ObjectArgument Unpack(PackedArgument record, const ArgumentTexts& texts) {
  const std::uint64_t bits = packed::Load(record);
  if (bits & packed::kLoose) return texts.loose[bits & ~packed::kLoose];
  const char* name = texts.source.data() + (bits & (packed::kOffsetLimit - 1));
  const std::size_t name_length =
      (bits >> packed::kNameLengthShift) & (packed::kNameLengthLimit - 1);
  const std::size_t value_length =
      (bits >> packed::kValueLengthShift) & (packed::kValueLengthLimit - 1);
  return {{name, name_length}, {name + name_length + 2, value_length}};  // after ="
}

}  // namespace vexlar

#endif  // VEXLAR_STORE_PACKED_ARGUMENTS_H_
