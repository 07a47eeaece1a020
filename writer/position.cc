#include "writer/position.h"

#include <cstdlib>

namespace vexlar {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Both splitters share this state machine. Field 0 takes everything but '['
// and ','; fields 1 and 2 everything but ']' and ','. A ',' moves on to the
// next field; in the last field it is dropped, so further numbers are glued
// to the third. Returns false when `c` is a ']' read in the last field,
// which ends ParsePosition's reading.
struct FieldSplitter {
  std::string fields[3];
  int state = 0;

  bool Take(char c) {
    if (c == ',') {
      if (state < 2) ++state;
      return true;
    }
    if (state == 0) {
      if (c != '[') fields[0] += c;
      return true;
    }
    if (c == ']') return state != 2;
    fields[state] += c;
    return true;
  }
};

}  // namespace

double ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  // strtod sees only the decimal prefix found above, so it cannot take a
  // hexadecimal number, "inf" or "nan".
  const std::string number(text.substr(start, i - start));
  return std::strtod(number.c_str(), nullptr);
}

Vec3 ParsePosition(std::string_view text) {
  FieldSplitter splitter;
  for (char c : text) {
    if (!splitter.Take(c)) break;
  }
  Vec3 position;
  position.x = ParseDecimal(splitter.fields[0]);
  position.y = ParseDecimal(splitter.fields[1]);
  position.z = ParseDecimal(splitter.fields[2]);
  return position;
}

PositionFields SplitPosition(std::string_view value) {
  FieldSplitter splitter;
  if (value.size() > 2) {
    for (char c : value.substr(1, value.size() - 2)) splitter.Take(c);
  }
  for (std::string& field : splitter.fields) {
    if (field.empty()) field = "0";
  }
  return {std::move(splitter.fields[0]), std::move(splitter.fields[1]),
          std::move(splitter.fields[2])};
}

void ApplyHeightRule(SourceObject& object, ObjectStore* store) {
  ObjectArgument* position = FindArgument(object, "POSITION");
  if (position == nullptr) return;

  // Cut after the last ']' that is not the first character; without one
  // the value becomes empty.
  std::string_view value = position->value;
  const std::size_t bracket = value.size() > 1 ? value.find_last_of(']') : std::string_view::npos;
  value = (bracket != std::string_view::npos && bracket > 0) ? value.substr(0, bracket + 1)
                                                             : std::string_view();
  position->value = value;

  if (ParsePosition(value).z == 0) return;
  const std::string statement = "this setpos " + std::string(value) + ";";
  if (ObjectArgument* init = FindArgument(object, "INIT")) {
    init->value = store->KeepText(std::string(init->value) + "; " + statement);
  } else {
    AppendToList(object, {"INIT", store->KeepText(statement)});
  }
}

}  // namespace vexlar
