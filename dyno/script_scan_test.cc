#include "dyno/script_scan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vexlar {
namespace {

// An entry as "Class dx dy dz direction fuel damage".
std::string Describe(const ScriptEntry& e) {
  std::ostringstream out;
  out << e.class_name << ' ' << e.dx << ' ' << e.dy << ' ' << e.dz << ' ' << e.direction << ' '
      << e.fuel << ' ' << e.damage;
  return out.str();
}

std::vector<std::string> Scan(const std::string& script) {
  std::vector<std::string> described;
  for (const ScriptEntry& entry : ScanScript(script)) described.push_back(Describe(entry));
  return described;
}

using Described = std::vector<std::string>;

TEST(ScanScript, ReadsBothFormsWhereverEntriesStand) {
  const struct {
    std::string script;
    Described entries;
  } cases[] = {
      {"[\"Jeep\",[0,10],0]", {"Jeep 0 10 0 0 1 0"}},
      {"[\"Truck\",[10,0,0],45,0.5,0.25]", {"Truck 10 0 0 45 0.5 0.25"}},
      {"// list\n[\n\t[\"A\",[1,2],3],\n\t[\"B\",[4,5,6],7,0.5,0.1]\n]\n",
       {"A 1 2 0 3 1 0", "B 4 5 6 7 0.5 0.1"}},
      {"_o = [[\"A\",[0,0],0],[\"B\",[5,0,1],90,0.5,0.1], [\"C\", [-4,3], 180]]; _n = \"x\";",
       {"A 0 0 0 0 1 0", "B 5 0 1 90 0.5 0.1", "C -4 3 0 180 1 0"}},
      {"[\"A\",[1,2],3]\r\n[\"B\",[4,5],6,0.5,0.5]\r\n", {"A 1 2 0 3 1 0", "B 4 5 0 6 0.5 0.5"}},
      // Blanks around the numbers and between the parts.
      {"[\"C\",[ 1.5 , -2 , 3 ] , 7 , 0.25 , 0.5 ]", {"C 1.5 -2 3 7 0.25 0.5"}},
      // The class name keeps its case and blanks; the last quotation mark
      // before the offset list closes it.
      {"[\" Big Tent \",[1,1],0]", {" Big Tent  1 1 0 0 1 0"}},
      {"[\"a\"b\",[1,2],3]", {"a\"b 1 2 0 3 1 0"}},
      // A class name alone makes nothing; what follows it is still read.
      {"[\"Flag\"]", {}},
      {"[\"Flag\"], [\"Post\",[1,2],3]", {"Post 1 2 0 3 1 0"}},
      // Text that is no entry.
      {"[1,2] [ \"x\"] [\"A\",[1,2],3]", {"A 1 2 0 3 1 0"}},
      {"", {}},
      // A fourth offset is glued to the third; empty and odd fields read 0.
      {"[\"G\",[1,2,3,4],0]", {"G 1 2 34 0 1 0"}},
      {"[\"E\",[,],]", {"E 0 0 0 0 1 0"}},
      {"[\"Box\",[0,0],,,]", {"Box 0 0 0 0 0 0"}},
      {"[\"Kit\",[0,0],north,full,none]", {"Kit 0 0 0 0 0 0"}},
      {"[\"D\",[0,0],2.5e2,7.5E-1,1e-1]", {"D 0 0 0 250 0.75 0.1"}},
      {"[\"H\",[0x10,inf],nan]", {"H 0 0 0 0 1 0"}},
      // Parts left out at the end.
      {"[\"N\",[1,2]]", {"N 1 2 0 0 1 0"}},
      {"[\"F\",[1,2],3,0.5]", {"F 1 2 0 3 0.5 0"}},
      {"[\"X\",[1,2],3,0.5,0.1,9]", {"X 1 2 0 3 0.5 0.1"}},
      // The scan goes on after the entry's closing ']', past any entry start
      // its fields took in.
      {"[\"A\",[1,2],3,0.5,0.1[\"B\",[7,8],9]", {"A 1 2 0 3 0.5 0.1"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.entries, Scan(c.script)) << c.script;
  }
}

TEST(ScanScript, EntriesNotCompleteOnTheirLineMakeNothing) {
  const struct {
    std::string script;
    Described entries;
  } cases[] = {
      {"[\"Broken,[1,2],3\n[\"Ok\",[4,5],6]", {"Ok 4 5 0 6 1 0"}},
      {"[\"Wrap\",\n[1,2],3]\n[\"Ok\",[4,5],6]", {"Ok 4 5 0 6 1 0"}},
      {"[\"Wrap\",[1,\n2],3]\n[\"Ok\",[4,5],6]", {"Ok 4 5 0 6 1 0"}},
      {"[\"Wrap\",[1,2],3,0.5,\n0.1]\n[\"Ok\",[4,5],6]", {"Ok 4 5 0 6 1 0"}},
      {"[\"End\",[1,2", {}},
      {"[\"End\",[1,2],3", {}},
      {"[", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.entries, Scan(c.script)) << c.script;
  }
}

TEST(ScanScript, LooksAndNumberFieldsAreBounded) {
  const std::string blanks60(60, ' ');
  // A number field keeps its first 63 characters.
  EXPECT_EQ(Described{"L 1 2 0 123 1 0"}, Scan("[\"L\",[1,2]," + blanks60 + "12345]"));
  EXPECT_EQ(Described{"L 123 2 0 0 1 0"}, Scan("[\"L\",[" + blanks60 + "12345,2],0]"));
  // The offset list's '[' must lie on the entry's 255-character look, which
  // leaves room for a class name of 250 characters.
  const std::string name250(250, 'n');
  const std::string name251(251, 'n');
  const std::string longest_script = "[\"" + name250 + "\",[1,2],3]";
  const std::vector<ScriptEntry> longest = ScanScript(longest_script);
  ASSERT_EQ(1u, longest.size());
  EXPECT_EQ(name250, longest[0].class_name);
  EXPECT_TRUE(ScanScript("[\"" + name251 + "\",[1,2],3]").empty());
  // Each entry is read from its own start, so a long line of entries is
  // read whole.
  std::string line;
  Described expected;
  for (int i = 0; i < 40; ++i) {
    line += "[\"Crate" + std::to_string(i) + "\",[" + std::to_string(i) + ",0],0],";
    expected.push_back("Crate" + std::to_string(i) + " " + std::to_string(i) + " 0 0 0 1 0");
  }
  EXPECT_EQ(expected, Scan("[" + line + "]\n"));
}

}  // namespace
}  // namespace vexlar
