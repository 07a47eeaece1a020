#include "store/store.h"

#include <cassert>
#include <cstdint>
#include <limits>

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

ObjectArgument* FindArgument(SourceObject& object, std::string_view key) {
  return const_cast<ObjectArgument*>(FindArgument(static_cast<const SourceObject&>(object), key));
}

const ObjectArgument* FindArgument(const SourceObject& object, std::string_view key) {
  for (const ObjectArgument& argument : object.arguments) {
    if (EqualsIgnoringCase(argument.name, key)) return &argument;
  }
  return nullptr;
}

std::string HeaderName(std::string_view name, std::int32_t number) {
  return "_" + std::string(name) + "_" + (number >= 0 ? std::to_string(number) : "");
}

std::optional<std::string_view> FindArgumentValue(const SourceObject& object,
                                                  std::string_view key) {
  for (const ObjectArgument& argument : object.arguments) {
    if (EqualsIgnoringCase(argument.name, key)) return argument.value;
  }
  return std::nullopt;
}

std::string_view RequireArgumentValue(const SourceObject& object, std::string_view key) {
  return FindArgumentValue(object, key).value_or(std::string_view());
}

std::optional<std::string_view> FindPlayerArgument(const std::vector<ObjectArgument>& arguments) {
  for (const ObjectArgument& argument : arguments) {
    if (EqualsIgnoringCase(argument.name, "PLAYER")) return argument.value;
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

void AppendArgument(SourceObject& object, ObjectArgument argument) {
  object.arguments.push_back(argument);
}

std::string_view ObjectStore::KeepText(std::string text) {
  kept_texts_.push_back(std::move(text));
  return kept_texts_.back();
}

SourceObject ObjectStore::NewSourceObject() {
  SourceObject object;
  object.id = next_object_id_++;
  return object;
}

SourceObject& ObjectStore::AppendToList(SourceObject object) {
  assert(object.id == objects_.size());
  const auto code = static_cast<std::size_t>(object.type);
  if (code < kObjectTypeCount) ids_by_type_[code].push_back(object.id);
  objects_.push_back(std::move(object));
  return objects_.back();
}

SourceObject* ObjectStore::NextObjectOfType(ObjectType type, VisitedIds* visited) {
  const auto code = static_cast<std::size_t>(type);
  if (code >= kObjectTypeCount) return nullptr;
  const std::vector<std::uint32_t>& ids = ids_by_type_[code];
  if (visited->handed_out >= ids.size()) return nullptr;
  return &objects_[ids[visited->handed_out++]];
}

std::string ObjectStore::DebugString() const {
  std::string out;
  for (const SourceObject& object : objects_) {
    out += std::to_string(object.id);
    out += ' ';
    out += ObjectTypeKeyword(object.type);
    out += ' ';
    out += object.name;
    out += ' ';
    out += std::to_string(object.nameNumber);
    for (const ObjectArgument& argument : object.arguments) {
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
