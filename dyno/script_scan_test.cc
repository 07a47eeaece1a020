#include "dyno/script_scan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/table_cases.h"

namespace vexlar {
namespace {

// The entries as "Class dx dy dz direction fuel damage", one line each.
std::string Scan(const std::string& script) {
  std::ostringstream out;
  for (const ScriptEntry& e : ScanScript(script)) {
    out << e.class_name << ' ' << e.dx << ' ' << e.dy << ' ' << e.dz << ' ' << e.direction << ' '
        << e.fuel << ' ' << e.damage << '\n';
  }
  return out.str();
}

TEST(ScanScript, ReadsBothFormsWhereverEntriesStand) {
  test::RunTableCases("dyno/script_scan_cases.txt", [](const auto& in) { return Scan(in.at(0)); });
}

}  // namespace
}  // namespace vexlar
