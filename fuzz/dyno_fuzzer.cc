// Feeds bytes to the composition lookup as "DynO.cpp", to the script scan as
// a composition script and, eight bytes at a time, to the number texts as
// doubles. The lookup finds the same name for the fields of the input's last
// line (split at '|') and a few fixed types in any letter case; script
// entries view into the script in text order; number texts read back.
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "dyno/compositions.h"
#include "dyno/number_text.h"
#include "dyno/script_lookup.h"
#include "dyno/script_scan.h"
#include "fuzz/fuzz_check.h"

namespace vexlar {
namespace {

// The name found views into the configuration, whatever the type's letter
// case. (The one-pass finder against this lookup: script_lookup_test.cc.)
void CheckLookup(std::string_view config) {
  std::vector<std::string> types = {"", "camp", "Checkpoint"};
  // npos + 1 is 0: a text of one line is its own last line.
  std::istringstream last_line(std::string(config.substr(config.rfind('\n') + 1)));
  for (std::string field; types.size() < 8 && std::getline(last_line, field, '|');) {
    types.push_back(field.substr(0, 64));  // longer ones only slow the lookup
  }
  for (std::string& type : types) {
    const auto plain = FindScriptName(config, type);
    FUZZ_CHECK(!plain || fuzz::ViewsInto(*plain, config));
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    FUZZ_CHECK(fuzz::SameView(FindScriptName(config, type), plain));
  }
}

// Ten significant digits: the text reads back within half a unit of the
// tenth digit. Read as long double, since the largest doubles round up to a
// text beyond the range of double.
void CheckNumberText(double value) {
  if (!std::isfinite(value)) return;
  const std::string text = FormatNumberText(value);
  char* end = nullptr;
  const long double back = std::strtold(text.c_str(), &end);
  FUZZ_CHECK(end == text.c_str() + text.size() && text.find('.') != std::string::npos);
  const long double slack = std::fabs(static_cast<long double>(value)) * 5.0000001e-10L +
                            std::numeric_limits<double>::denorm_min();
  FUZZ_CHECK(std::fabs(back - value) <= slack);
}

void CheckScript(std::string_view script) {
  std::size_t previous_end = 0;
  for (const ScriptEntry& entry : ScanScript(script)) {
    // The class name stands between '["' and '"', after the previous entry.
    FUZZ_CHECK(fuzz::ViewsInto(entry.class_name, script));
    const auto start = static_cast<std::size_t>(entry.class_name.data() - script.data());
    const std::size_t end = start + entry.class_name.size();
    FUZZ_CHECK(start >= previous_end + 2 && script.substr(start - 2, 2) == "[\"");
    FUZZ_CHECK(end < script.size() && script[end] == '"');
    previous_end = end + 1;
    for (double number :
         {entry.dx, entry.dy, entry.dz, entry.direction, entry.fuel, entry.damage}) {
      FUZZ_CHECK(!std::isnan(number));
      CheckNumberText(number);
    }
    // Placing the entry has no property of its own here: it runs under the sanitizers.
    for (const double angle : {0.0, 45.0, -1e300}) PlaceEntry(1000.5, -20, angle, entry);
  }
}

void FuzzDyno(std::string_view bytes) {
  CheckLookup(bytes);
  CheckScript(bytes);
  for (std::size_t at = 0; at + sizeof(double) <= bytes.size() && at < 512; at += sizeof(double)) {
    double value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    CheckNumberText(value);
  }
}

}  // namespace
}  // namespace vexlar

FUZZ_TARGET(vexlar::FuzzDyno)
