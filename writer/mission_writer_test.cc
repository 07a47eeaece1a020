#include "writer/mission_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_util.h"
#include "writer/text_writer.h"

namespace vexlar {
namespace {

using Arguments = std::vector<ObjectArgument>;

constexpr char kIntel[] =
    "\tclass Intel\n\t{\n\t\tstartWeather=0.40000001;\n\t\tforecastWeather=0.25;\n"
    "\t\tyear=2008;\n\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n\t};\n";

// A failed hand-over to the file shows in Flush and ok().
TEST(TextWriter, AFailedHandOverIsReported) {
  test::TempFolder folder;
  test::WriteFile(folder.Path("out.txt"), "");
  std::FILE* reading = std::fopen(folder.Path("out.txt").c_str(), "r");  // refuses writes
  ASSERT_NE(nullptr, reading);
  TextWriter out(reading);
  out.Write("lost");
  EXPECT_FALSE(out.Flush());
  EXPECT_FALSE(out.ok());
  std::fclose(reading);
}

// A whole file whose section `mode` holds `content` (its Intel class
// included); the other sections hold the default Intel class only.
std::string Frame(RunMode mode, const std::string& content) {
  std::string text = "version=11;\n";
  int s = 0;
  for (const char* name : {"Intro", "Mission", "OutroWin", "OutroLoose"}) {
    text += std::string("class ") + name +
            "\n{\n\taddOns[]={};\n\taddOnsAuto[]={};\n\trandomSeed=7826573;\n" +
            (s++ == static_cast<int>(mode) ? content : kIntel) + "};\n";
  }
  return text;
}

// The value of each line of `text` that starts with `key` after its tabs,
// without quotes and ';', each followed by '|'.
std::string Values(const std::string& text, const std::string& key) {
  std::string values;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    const std::size_t start = text.find_first_not_of('\t', at);
    if (text.compare(start, key.size(), key) == 0) {
      std::string value = text.substr(start + key.size(), end - start - key.size() - 1);
      if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
      values += value + "|";
    }
    at = end + 1;
  }
  return values;
}

class MissionWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { std::fclose(console_); }

  void Add(ObjectType type, std::int32_t number, const Arguments& arguments) {
    SourceObject object = store_.NewSourceObject();
    object.type = type;
    object.nameNumber = number;
    object.arguments = arguments;
    store_.AppendToList(std::move(object));
  }
  bool Run(RunMode mode = RunMode::kMission) {
    return WriteMissionFile(mode, folder_.Path("attack.kolvo"), &store_, &log_);
  }
  std::string Mission() const { return test::ReadFile(MissionPath()); }
  std::string Log() const { return test::ReadFile(folder_.Path("run.log")); }
  std::string MissionPath() const { return folder_.Path("mission.pld"); }

  test::TempFolder folder_;
  std::FILE* console_ = std::tmpfile();
  RunLog log_{folder_.Path("run.log"), console_};
  ObjectStore store_;
};

TEST(MissionPath, TheLastSeparatorOfEitherKind) {
  EXPECT_EQ("c:\\m/mission.pld", MissionPathFor("c:\\m/attack.kolvo"));
  EXPECT_EQ("/a\\mission.pld", MissionPathFor("/a\\x.kolvo"));
  EXPECT_EQ("/a.b/mission.pld", MissionPathFor("/a.b/x"));
  EXPECT_EQ("mission.pld", MissionPathFor("attack.kolvo"));
}

// An existing mission.pld is replaced, and no temporary file is left.
TEST_F(MissionWriterTest, EmptyStoreGivesTheDefaultFile) {
  test::WriteFile(MissionPath(), "old");
  ASSERT_TRUE(Run());
  EXPECT_EQ(Frame(RunMode::kMission, kIntel), Mission());
  EXPECT_EQ("Groups: 0\nTriggers: 0\nVehicles: 0\nMarkers: 0\n", Log());
  EXPECT_FALSE(test::FileExists(TemporaryPathFor(MissionPath())));
}

// The mode chooses the section that holds the content. Without groups the
// first empty vehicle takes the id 0.
TEST_F(MissionWriterTest, ModeSelectsTheSection) {
  Add(ObjectType::kVehicle, 1, {{"TYPE", "Jeep"}});
  const std::string content = std::string(kIntel) +
                              "\tclass Vehicles\n\t{\n\t\titems=1;\n\t\tclass Item0\n\t\t{\n"
                              "\t\t\tside=\"EMPTY\";\n\t\t\tid=0;\n\t\t\tvehicle=\"Jeep\";\n"
                              "\t\t};\n\t};\n";
  for (const RunMode mode : {RunMode::kIntro, RunMode::kMission, RunMode::kWin, RunMode::kLoose}) {
    ASSERT_TRUE(Run(mode));
    EXPECT_EQ(Frame(mode, content), Mission()) << "mode " << static_cast<int>(mode);
  }
}

// Only the first intel object counts, and in it the first argument of a
// name (any case); values are copied verbatim; fog lines only when given.
TEST_F(MissionWriterTest, IntelRows) {
  Add(ObjectType::kIntel, 0,
      {{"fog_wanted", "0.9"},
       {"FOG", ""},
       {"OVERCAST", "50%"},
       {"OVERCAST", "2"},
       {"Overcast_Wanted", "0.1"}});
  Add(ObjectType::kIntel, 1, {{"YEAR", "2020"}, {"HOUR", "1"}});
  ASSERT_TRUE(Run());
  EXPECT_EQ(Frame(RunMode::kMission,
                  "\tclass Intel\n\t{\n\t\tstartWeather=50%;\n\t\tstartFog=;\n"
                  "\t\tforecastWeather=0.1;\n\t\tforecastFog=0.9;\n\t\tyear=2008;\n\t\tmonth=10;\n"
                  "\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n\t};\n"),
            Mission());
}

// A group's side comes from the first centre of the number its CENTER names
// and is empty when a link is missing. Members come by the number their
// GROUP names, so groups sharing a number share them (passing the height
// rule twice); others are written nowhere. Ids run on from group to group
// into the empty vehicles; a missing number is logged as 4294967295.
TEST_F(MissionWriterTest, GroupsFindSidesAndMembersByNumber) {
  Add(ObjectType::kCenter, 0, {{"SIDE", "WEST"}});
  Add(ObjectType::kCenter, 1, {{"NAME", "no side"}});
  Add(ObjectType::kCenter, 0, {{"SIDE", "LATER"}});
  Add(ObjectType::kGroup, 1, {{"CENTER", "_center_0"}});
  Add(ObjectType::kGroup, 2, {{"CENTER", "_center_1"}});
  Add(ObjectType::kGroup, 1, {{"CENTER", "center"}});
  Add(ObjectType::kGroup, kNoHeaderNumber, {{"CENTER", "_center_7"}});
  Add(ObjectType::kVehicle, 9, {{"TYPE", "Jeep"}});
  Add(ObjectType::kUnit, 10, {{"GROUP", "_group_1"}, {"POSITION", "[1,2,3]"}});
  Add(ObjectType::kWaypoint, 11, {{"GROUP", "_group_2"}, {"TYPE", "MOVE"}});
  Add(ObjectType::kUnit, 12, {{"group", "_group_1"}, {"TYPE", "W2"}});
  for (const char* stray : {"_group_9", "group"}) {
    Add(ObjectType::kUnit, 20, {{"GROUP", stray}});
    Add(ObjectType::kWaypoint, 21, {{"GROUP", stray}});
  }
  Add(ObjectType::kUnit, 22, {});
  ASSERT_TRUE(Run());
  const std::string mission = Mission();
  // Groups, then the units of group 1, the waypoints of group 2, the units
  // of the second group 1, then the empty vehicles.
  EXPECT_EQ("4|2|1|2|1|", Values(mission, "items="));
  EXPECT_EQ("WEST|WEST|WEST||||||EMPTY|", Values(mission, "side="));
  EXPECT_EQ("0|1|2|3|4|", Values(mission, "id="));
  EXPECT_EQ("this setpos [1,2,3];|this setpos [1,2,3];; this setpos [1,2,3];|",
            Values(mission, "init="));
  EXPECT_EQ(
      "Groups: 4\nUnits in group 1: 2\nWP for group 1: 0\nUnits in group 2: 0\n"
      "WP for group 2: 1\nUnits in group 1: 2\nWP for group 1: 0\n"
      "Units in group 4294967295: 0\nWP for group 4294967295: 0\n"
      "Triggers: 0\nVehicles: 1\nMarkers: 0\n",
      Log());
}

// A trigger without AGE gets age="UNKNOWN", a marker without TYPE gets
// type="mil_objective"; an empty value counts as given.
TEST_F(MissionWriterTest, EmptyAgeOrTypeNeedsNoDefault) {
  Add(ObjectType::kTrigger, 1, {{"Age", ""}});
  Add(ObjectType::kMarker, 2, {{"type", ""}});
  ASSERT_TRUE(Run());
  EXPECT_EQ("|", Values(Mission(), "age="));
  EXPECT_EQ("|", Values(Mission(), "type="));
}

// When the temporary file cannot be made, nothing is counted and the old
// mission.pld stays as it was.
TEST_F(MissionWriterTest, FailureLeavesTheOldFile) {
  test::WriteFile(MissionPath(), "old");
  std::filesystem::create_directory(TemporaryPathFor(MissionPath()));
  EXPECT_FALSE(Run());
  EXPECT_EQ("old", Mission());
  EXPECT_EQ("Cannot write mission file!\nPath: " + MissionPath() + "\n", Log());
}

}  // namespace
}  // namespace vexlar
