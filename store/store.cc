#include "store/store.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "text/ascii.h"

namespace vexlar {
namespace {

constexpr std::string_view kTypeKeywords[kObjectTypeCount] = {
    "prefix", "postfix", "center",           "group", "unit", "trigger", "waypoint", "vehicle",
    "marker", "intel",   "objectComposition"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ObjectType ObjectTypeFromKeyword(std::string_view keyword) {
  for (std::size_t code = 0; code < kObjectTypeCount; ++code) {
    if (kTypeKeywords[code] == keyword) return static_cast<ObjectType>(code);
  }
  return ObjectType::kUnknown;
}

std::string_view ObjectTypeKeyword(ObjectType type) {
  const auto code = static_cast<std::size_t>(type);
  return code < kObjectTypeCount ? kTypeKeywords[code] : "?";
}

std::string ObjectTypePhrase(ObjectType type) {
  const std::string_view keyword = ObjectTypeKeyword(type);
  // "unit" sounds with a consonant; the other keywords as they are spelt.
  const bool vowel = std::string_view("aeio").find(keyword.front()) != std::string_view::npos;
  return (vowel ? "an " : "a ") + std::string(keyword);
}

std::optional<std::size_t> FindArgumentIndex(const ArgumentList& arguments, std::string_view key) {
  std::size_t index = 0;
  for (const ObjectArgument argument : arguments) {
    if (EqualsIgnoringCase(argument.name, key)) return index;
    ++index;
  }
  return std::nullopt;
}

std::optional<ObjectArgument> FindArgument(const SourceObject& object, std::string_view key) {
  const ArgumentList arguments = object.arguments();
  if (const std::optional<std::size_t> index = FindArgumentIndex(arguments, key)) {
    return arguments[*index];
  }
  return std::nullopt;
}

std::string HeaderName(std::string_view name, std::int32_t number) {
  return "_" + std::string(name) + "_" + (number >= 0 ? std::to_string(number) : "");
}

std::optional<std::string_view> FindArgumentValue(const SourceObject& object,
                                                  std::string_view key) {
  if (const std::optional<ObjectArgument> argument = FindArgument(object, key)) {
    return argument->value;
  }
  return std::nullopt;
}

std::string_view RequireArgumentValue(const SourceObject& object, std::string_view key) {
  return FindArgumentValue(object, key).value_or(std::string_view());
}

std::optional<std::string_view> FindPlayerArgument(const ArgumentList& arguments) {
  if (const std::optional<std::size_t> index = FindArgumentIndex(arguments, "PLAYER")) {
    return arguments[*index].value;
  }
  return std::nullopt;
}

std::int32_t NumberAfterUnderscore(std::string_view text) {
  for (std::size_t j = text.size(); j-- > 1;) {
    if (!IsDigit(text[j]) || text[j - 1] != '_') continue;
    std::int64_t number = 0;
    for (std::size_t k = j; k < text.size() && IsDigit(text[k]); ++k) {
      number = number * 10 + (text[k] - '0');
      if (number > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
      }
    }
    return static_cast<std::int32_t>(number);
  }
  return kNoReferenceNumber;
}

void SourceObject::SetName(std::string_view name) {
  if (name.size() > kMaxNameSize) throw std::length_error("object name too long");
  name_ = name.data();
  name_size_ = static_cast<std::uint16_t>(name.size());
}

std::string_view ObjectStore::KeepText(std::string text) {
  if (text.size() > kLargeText) {
    large_texts_.push_back(std::move(text));
    return large_texts_.back();
  }
  if (static_cast<std::size_t>(text_end_ - text_free_) < text.size()) {
    text_blocks_.emplace_back(new char[kTextBlock]);
    text_free_ = text_blocks_.back().get();
    text_end_ = text_free_ + kTextBlock;
  }
  char* kept = text_free_;
  text_free_ = std::copy(text.begin(), text.end(), kept);
  return {kept, text.size()};
}

std::string_view ObjectStore::KeepFile(platform::FileBytes bytes) {
  files_.push_back(std::move(bytes));
  return files_.back().view();
}

void ObjectStore::SetSource(std::string_view source) {
  if (source_set_) return;
  source_set_ = true;
  texts_.source = source;
}

SourceObject ObjectStore::NewSourceObject() {
  SourceObject object;
  object.id = next_object_id_++;
  return object;
}

SourceObject& ObjectStore::AppendToList(SourceObject object) {
  assert(object.id == listed_);
  const auto code = static_cast<std::size_t>(object.type);
  if (code < kObjectTypeCount) ids_by_type_[code].push_back(object.id);
  if (listed_ % kObjectBlock == 0) object_blocks_.emplace_back(new SourceObject[kObjectBlock]);
  SourceObject& stored = Slot(listed_);
  stored = object;
  ++listed_;
  return stored;
}

PackedArgument ObjectStore::PackLoose(ObjectArgument argument) {
  texts_.loose.push_back(argument);
  return packed::Store(packed::kLoose | (texts_.loose.size() - 1));
}

PackedArgument* ObjectStore::ArgumentRoom(std::size_t count) {
  if (static_cast<std::size_t>(argument_end_ - argument_free_) < count) {
    // Twice the count, so that a list that keeps growing moves rarely.
    const std::size_t size = std::max(kArgumentBlock, 2 * count);
    argument_blocks_.emplace_back(new PackedArgument[size]);
    argument_free_ = argument_blocks_.back().get();
    argument_end_ = argument_free_ + size;
  }
  PackedArgument* room = argument_free_;
  argument_free_ += count;
  return room;
}

void ObjectStore::AppendMoving(SourceObject& object, PackedArgument record) {
  std::uint32_t& count = object.argument_count_;
  PackedArgument* room = ArgumentRoom(count + std::size_t{1});
  std::copy(object.packed_, object.packed_ + count, room);
  room[count] = record;
  object.packed_ = room;
  object.texts_ = &texts_;
  ++count;
}

void ObjectStore::SetArgumentValue(SourceObject& object, std::size_t index,
                                   std::string_view value) {
  const ObjectArgument argument = object.arguments()[index];
  object.packed_[index] = Pack({argument.name, value});
}

SourceObject* ObjectStore::NextObjectOfType(ObjectType type, VisitedIds* visited) {
  const auto code = static_cast<std::size_t>(type);
  if (code >= kObjectTypeCount) return nullptr;
  const std::vector<std::uint32_t>& ids = ids_by_type_[code];
  if (visited->handed_out >= ids.size()) return nullptr;
  return &Slot(ids[visited->handed_out++]);
}

std::string ObjectStore::DebugString() const {
  std::string out;
  for (std::uint32_t id = 0; id < listed_; ++id) {
    const SourceObject& object = this->object(id);
    out += std::to_string(object.id);
    out += ' ';
    out += ObjectTypeKeyword(object.type);
    out += ' ';
    out += object.name();
    out += ' ';
    out += std::to_string(object.nameNumber);
    for (const ObjectArgument argument : object.arguments()) {
      out += ' ';
      out += argument.name;
      out += "=\"";
      out += argument.value;
      out += '"';
    }
    out += '\n';
  }
  return out;
}

}  // namespace vexlar
