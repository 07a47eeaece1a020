// Feeds bytes to the composition lookup as "DynO.cpp" and to the script scan
// as a composition script. The types looked up are the fields of the input's
// last line, split at '|' (at most 64 characters each), and a few fixed ones. The lookup is checked
// against a plain byte-by-byte search written from its contract; every
// entry of the scan is placed, and every number text read back.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dyno/compositions.h"
#include "dyno/number_text.h"
#include "dyno/script_lookup.h"
#include "dyno/script_scan.h"
#include "fuzz/fuzz_check.h"

namespace vexlar {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;
constexpr std::size_t kMaxTypes = 8;
// Longer types cost the lookup more without reaching other code.
constexpr std::size_t kMaxTypeSize = 64;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameFolded(std::string_view bytes, std::size_t at, std::string_view word) {
  if (bytes.size() - at < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (Lower(bytes[at + k]) != Lower(word[k])) return false;
  }
  return true;
}

// The lookup as its contract states it, one position at a time.
std::optional<std::string_view> PlainLookup(std::string_view config, std::string_view type) {
  if (type.find('\n') != kNotFound) return std::nullopt;
  std::size_t at = kNotFound;
  for (std::size_t p = 0; p + type.size() <= config.size(); ++p) {
    if (!SameFolded(config, p, type)) continue;
    // A type ending in CR does not match the CR of a CR LF line end.
    const std::size_t end = p + type.size();
    if (!type.empty() && type.back() == '\r' && end < config.size() && config[end] == '\n') {
      continue;
    }
    at = p;
    break;
  }
  if (at == kNotFound) return std::nullopt;
  std::size_t word = kNotFound;
  for (std::size_t p = at + type.size(); p + 12 <= config.size(); ++p) {
    if (SameFolded(config, p, "objectscript")) {
      word = p;
      break;
    }
  }
  if (word == kNotFound || word + 12 >= config.size()) return std::nullopt;
  const std::size_t start = word + 12;
  std::size_t end = start;
  while (end < config.size() && end - start < 255 && config[end] != '\n' &&
         !(config[end] == '\r' && end + 1 < config.size() && config[end + 1] == '\n')) {
    ++end;
  }
  const std::string_view look = config.substr(start, end - start);
  const std::size_t separator = look.find_last_of("\\/");
  if (separator == kNotFound) return std::nullopt;
  const std::size_t quote = look.find('"', separator + 1);
  if (quote == kNotFound) return std::nullopt;  // an empty name is a name
  return config.substr(start + separator + 1, quote - separator - 1);
}

bool SameAnswer(const std::optional<std::string_view>& a,
                const std::optional<std::string_view>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->data() == b->data() && a->size() == b->size());
}

std::vector<std::string> TypesOf(std::string_view bytes) {
  std::vector<std::string> types = {"", "camp", "Checkpoint"};
  const std::size_t last_line = bytes.rfind('\n');
  if (last_line == kNotFound) return types;
  std::string_view rest = bytes.substr(last_line + 1);
  while (types.size() < kMaxTypes) {
    const std::size_t bar = rest.find('|');
    types.emplace_back(rest.substr(0, std::min(bar, kMaxTypeSize)));
    if (bar == kNotFound) break;
    rest.remove_prefix(bar + 1);
  }
  return types;
}

void CheckLookup(std::string_view config) {
  const std::vector<std::string> types = TypesOf(config);
  const std::vector<std::string_view> views(types.begin(), types.end());
  const ScriptNameFinder finder(config, views);
  for (const std::string& type : types) {
    const std::optional<std::string_view> expected = PlainLookup(config, type);
    FUZZ_CHECK(SameAnswer(expected, finder.Find(type)));
    // Letter case never matters, neither in the type nor in the file.
    std::string upper = type;
    for (char& c : upper) c = Upper(c);
    FUZZ_CHECK(SameAnswer(expected, finder.Find(upper)));
    if (expected) {
      FUZZ_CHECK(fuzz::ViewsInto(*expected, config));
      FUZZ_CHECK(expected->find_first_of("\"\\/\n") == kNotFound);
      const auto after =
          static_cast<std::size_t>(expected->data() - config.data()) + expected->size();
      FUZZ_CHECK(after < config.size() && config[after] == '"');
    }
  }
  // The lookup of one type, and of a type the finder was not given, which
  // it looks up on its own.
  FUZZ_CHECK(SameAnswer(PlainLookup(config, types.back()), FindScriptName(config, types.back())));
  const std::string stranger = types.back() + "x";
  FUZZ_CHECK(SameAnswer(PlainLookup(config, stranger), finder.Find(stranger)));
}

// A number text has ten significant digits, so it reads back within half a
// unit of its tenth digit.
void CheckNumberText(double value) {
  const std::string text = FormatNumberText(value);
  if (std::isnan(value)) {
    FUZZ_CHECK(text == "nan");
    return;
  }
  if (std::isinf(value)) {
    FUZZ_CHECK(text == (value < 0 ? "-inf" : "inf"));
    return;
  }
  FUZZ_CHECK(!text.empty() && text.find('.') != std::string::npos);
  FUZZ_CHECK(text.size() <= 17);  // "-d.ddddddddde+ddd"
  // Read back with the wider range of long double: the largest doubles round
  // up to a text beyond the range of double.
  char* end = nullptr;
  const long double back = std::strtold(text.c_str(), &end);
  FUZZ_CHECK(end == text.c_str() + text.size());
  const long double exact = value;
  const long double slack =
      std::fabs(exact) * 5.0000001e-10L + std::numeric_limits<double>::denorm_min();
  FUZZ_CHECK(std::fabs(back - exact) <= slack);
}

bool SameEntry(const ScriptEntry& a, const ScriptEntry& b) {
  return a.class_name.data() == b.class_name.data() && a.class_name.size() == b.class_name.size() &&
         std::memcmp(&a.dx, &b.dx, sizeof a.dx) == 0 &&
         std::memcmp(&a.dy, &b.dy, sizeof a.dy) == 0 &&
         std::memcmp(&a.dz, &b.dz, sizeof a.dz) == 0 &&
         std::memcmp(&a.direction, &b.direction, sizeof a.direction) == 0 &&
         std::memcmp(&a.fuel, &b.fuel, sizeof a.fuel) == 0 &&
         std::memcmp(&a.damage, &b.damage, sizeof a.damage) == 0;
}

void CheckScript(std::string_view script) {
  const std::vector<ScriptEntry> entries = ScanScript(script);
  const std::vector<ScriptEntry> again = ScanScript(script);
  FUZZ_CHECK(entries.size() == again.size());
  std::size_t previous_start = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ScriptEntry& entry = entries[i];
    FUZZ_CHECK(SameEntry(entry, again[i]));
    // The class name stands between '["' and '"' on one line, and entries
    // come in text order.
    FUZZ_CHECK(fuzz::ViewsInto(entry.class_name, script));
    const auto start = static_cast<std::size_t>(entry.class_name.data() - script.data());
    FUZZ_CHECK(start >= 2 && script.substr(start - 2, 2) == "[\"");
    FUZZ_CHECK(start + entry.class_name.size() < script.size() &&
               script[start + entry.class_name.size()] == '"');
    FUZZ_CHECK(entry.class_name.find('\n') == kNotFound);
    FUZZ_CHECK(i == 0 || start > previous_start);
    previous_start = start;
    for (double number :
         {entry.dx, entry.dy, entry.dz, entry.direction, entry.fuel, entry.damage}) {
      FUZZ_CHECK(!std::isnan(number));
      CheckNumberText(number);
    }
    for (const double angle : {0.0, 45.0, -1e300}) {
      const VehicleTexts texts = PlaceEntry(1000.5, -20, angle, entry);
      FUZZ_CHECK(texts.position.size() >= 7 && texts.position.front() == '[' &&
                 texts.position.back() == ']');
      FUZZ_CHECK(!texts.azimut.empty() && !texts.fuel.empty() && !texts.health.empty());
    }
  }
}

void FuzzDyno(std::string_view bytes) {
  CheckLookup(bytes);
  CheckScript(bytes);
  // The bytes read as doubles too, for the number texts of odd values.
  for (std::size_t at = 0; at + sizeof(double) <= bytes.size() && at < 64 * sizeof(double);
       at += sizeof(double)) {
    double value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    CheckNumberText(value);
  }
}

}  // namespace
}  // namespace vexlar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexlar::FuzzDyno(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
