#include "dyno/script_scan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

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
  const std::string blanks60(60, ' '), name250(250, 'n');
  std::string line, entries;  // forty entries on one line, each read from its own start
  for (int i = 0; i < 40; ++i) {
    line += "[\"C" + std::to_string(i) + "\",[" + std::to_string(i) + ",0],0],";
    entries += "C" + std::to_string(i) + " " + std::to_string(i) + " 0 0 0 1 0\n";
  }
  const std::pair<std::string, std::string> cases[] = {
      {"// list\r\n[\r\n\t[\"A\",[1,2],3],\r\n\t[\"B\",[4,5,6],7,0.5,0.1]\r\n]\r\n",
       "A 1 2 0 3 1 0\nB 4 5 6 7 0.5 0.1\n"},
      {R"(_o = [["A",[0,0],0],["B",[5,0,1],90,0.5,0.1], ["C", [-4,3], 180]]; _n = "x";)",
       "A 0 0 0 0 1 0\nB 5 0 1 90 0.5 0.1\nC -4 3 0 180 1 0\n"},
      {R"(["C",[ 1.5 , -2 , 3 ] , 7 , 0.25 , 0.5 ])", "C 1.5 -2 3 7 0.25 0.5\n"},
      // The name keeps case and blanks; the last '"' before the list closes it.
      {R"([" Big Tent ",[1,1],0])", " Big Tent  1 1 0 0 1 0\n"},
      {R"(["a"b",[1,2],3])", "a\"b 1 2 0 3 1 0\n"},
      {R"(["",[1,2],3])", " 1 2 0 3 1 0\n"},
      // A class name alone, or text that is no entry, makes nothing.
      {R"(["Flag"], [1,2] [ "x"] ["Post",[1,2],3])", "Post 1 2 0 3 1 0\n"},
      // A fourth offset is glued to the third, a ']' in the first field is
      // text; empty and odd fields read 0.
      {R"(["G",[1,2,3,4],0])", "G 1 2 34 0 1 0\n"},
      {R"(["Q",[1]2,3],4])", "Q 1 3 0 4 1 0\n"},
      {R"(["E",[,],])", "E 0 0 0 0 1 0\n"},
      {R"(["Box",[0,0],,,])", "Box 0 0 0 0 0 0\n"},
      {R"(["Kit",[0x10,inf],nan,full,none])", "Kit 0 0 0 0 0 0\n"},
      {R"(["D",[0,0],2.5e2,7.5E-1,1e-1])", "D 0 0 0 250 0.75 0.1\n"},
      // Parts left out at the end, or one too many.
      {R"(["N",[1,2]])", "N 1 2 0 0 1 0\n"},
      {R"(["F",[1,2],3,0.5])", "F 1 2 0 3 0.5 0\n"},
      {R"(["X",[1,2],3,0.5,0.1,9])", "X 1 2 0 3 0.5 0.1\n"},
      // The scan goes on after the entry's ']', past an entry start its
      // fields took in.
      {R"(["A",[1,2],3,0.5,0.1["B",[7,8],9])", "A 1 2 0 3 0.5 0.1\n"},
      // An entry that is not complete on its line makes nothing.
      {"[\"Broken,[1,2],3\n[\"W\",\n[1,2],3]\n[\"W\",[1,\n2],3]\n[\"W\",[1,2],3,0.5,\n0.1]\n"
       "[\"Ok\",[4,5],6]",
       "Ok 4 5 0 6 1 0\n"},
      {R"(["End",[1,2)", ""},
      {R"(["End",[1,2],3)", ""},
      {"[", ""},
      // A number field keeps its first 63 characters; the list's '[' must be
      // on the entry's look of 255 characters.
      {"[\"L\",[1,2]," + blanks60 + "12345]", "L 1 2 0 123 1 0\n"},
      {"[\"L\",[" + blanks60 + "12345,2],0]", "L 123 2 0 0 1 0\n"},
      {"[\"" + name250 + "\",[1,2],3]", name250 + " 1 2 0 3 1 0\n"},
      {"[\"n" + name250 + "\",[1,2],3]", ""},
      {"[" + line + "]\n", entries},
  };
  for (const auto& [script, expected] : cases) EXPECT_EQ(expected, Scan(script)) << script;
}

}  // namespace
}  // namespace vexlar
