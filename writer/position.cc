#include "writer/position.h"

#include <algorithm>
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
// to the third. A ']' read in the last field ends ParsePosition's reading;
// SplitPosition drops it and reads on.
struct FieldSplitter {
  std::string fields[3];
  int state = 0;

  // Takes the characters of `text` run by run. Returns false when it stopped
  // at a ']' of the last field (only when `stop_at_last_bracket`).
  bool TakeAll(std::string_view text, bool stop_at_last_bracket) {
    std::size_t i = 0;
    while (i < text.size()) {
      const char dropped = state == 0 ? '[' : ']';
      std::size_t end = i;
      while (end < text.size() && text[end] != ',' && text[end] != dropped) ++end;
      fields[state].append(text.data() + i, end - i);
      if (end == text.size()) break;
      if (text[end] == ',') {
        if (state < 2) ++state;
      } else if (state == 2 && stop_at_last_bracket) {
        return false;
      }
      i = end + 1;
    }
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
  // Digits that are all zeros make zero whatever the exponent, so the common
  // "0" needs no conversion.
  bool zero = true;
  for (std::size_t k = start; k < i && zero; ++k) zero = !IsDigit(text[k]) || text[k] == '0';
  if (zero) return text[start] == '-' ? -0.0 : 0.0;
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

namespace {

// ParsePosition(text).z, without building the first two fields.
double HeightOf(std::string_view text) {
  std::size_t i = 0;
  for (int commas = 0; i < text.size() && commas < 2; ++i) {
    if (text[i] == ',') ++commas;
  }
  // The field runs to the next ']'; its commas, if any, are dropped.
  const std::size_t end = std::min(text.find(']', i), text.size());
  const std::string_view field = text.substr(i, end - i);
  if (field.find(',') == std::string_view::npos) return ParseDecimal(field);
  std::string third;
  for (char c : field) {
    if (c != ',') third += c;
  }
  return ParseDecimal(third);
}

}  // namespace

Vec3 ParsePosition(std::string_view text) {
  FieldSplitter splitter;
  splitter.TakeAll(text, true);
  Vec3 position;
  position.x = ParseDecimal(splitter.fields[0]);
  position.y = ParseDecimal(splitter.fields[1]);
  position.z = ParseDecimal(splitter.fields[2]);
  return position;
}

PositionFields SplitPosition(std::string_view value) {
  FieldSplitter splitter;
  if (value.size() > 2) splitter.TakeAll(value.substr(1, value.size() - 2), false);
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

  if (HeightOf(value) == 0) return;
  const std::string statement = "this setpos " + std::string(value) + ";";
  if (ObjectArgument* init = FindArgument(object, "INIT")) {
    init->value = store->KeepText(std::string(init->value) + "; " + statement);
  } else {
    AppendToList(object, {"INIT", store->KeepText(statement)});
  }
}

}  // namespace vexlar
