#include "writer/mission_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace vexlar {
namespace {

namespace fs = std::filesystem;
using Arguments = std::vector<ObjectArgument>;

constexpr char kIntel[] =
    "\tclass Intel\n\t{\n\t\tstartWeather=0.40000001;\n\t\tforecastWeather=0.25;\n"
    "\t\tyear=2008;\n\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n\t};\n";
constexpr const char* kSections[] = {"Intro", "Mission", "OutroWin", "OutroLoose"};

std::string Header(const std::string& name) {
  return "class " + name + "\n{\n\taddOns[]={};\n\taddOnsAuto[]={};\n\trandomSeed=7826573;\n";
}

// A whole file whose section `mode` holds `content` (the Intel class
// included); the other sections are empty.
std::string Frame(RunMode mode, const std::string& content) {
  std::string text = "version=11;\n";
  for (RunMode s = 0; s < 4; ++s) {
    text += Header(kSections[s]) + (s == mode ? content : std::string(kIntel)) + "};\n";
  }
  return text;
}

// In text mode, so that line ends stored as CR LF read as "\n".
std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class MissionWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = fs::temp_directory_path() /
              ("vexlar_writer_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
               std::to_string(tick));
    fs::create_directories(folder_);
    console_ = std::tmpfile();
    log_ = std::make_unique<RunLog>((folder_ / "run.log").string(), console_);
    paths_.source_path = (folder_ / "attack.kolvo").string();
    paths_.program_directory = (folder_ / "bin").string() + "/";
  }
  void TearDown() override {
    std::fclose(console_);
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  SourceObject& Add(ObjectType type, std::int32_t number, const Arguments& arguments) {
    SourceObject object = store_->NewSourceObject();
    object.type = type;
    object.nameNumber = number;
    object.arguments = arguments;
    return store_->AppendToList(std::move(object));
  }
  bool Run(RunMode mode = kModeMission) {
    return WriteMissionFile(mode, paths_, store_.get(), log_.get());
  }
  std::string Mission() const { return ReadBytes(folder_ / "mission.pld"); }
  std::string Log() const { return ReadBytes(folder_ / "run.log"); }
  std::string MissionPath() const { return (folder_ / "mission.pld").string(); }

  fs::path folder_;
  std::FILE* console_ = nullptr;
  std::unique_ptr<RunLog> log_;
  RunPaths paths_;
  std::unique_ptr<ObjectStore> store_ = std::make_unique<ObjectStore>();
};

TEST(MissionPath, BesideTheSource) {
  EXPECT_EQ("c:\\m\\mission.pld", MissionPathFor("c:\\m\\attack.kolvo"));
  EXPECT_EQ("/a/b.c/mission.pld", MissionPathFor("/a/b.c/x.kolvo"));
  EXPECT_EQ("c:\\m/mission.pld", MissionPathFor("c:\\m/attack.kolvo"));
  EXPECT_EQ("/a\\mission.pld", MissionPathFor("/a\\x.kolvo"));
  EXPECT_EQ("mission.pld", MissionPathFor("attack.kolvo"));
}

TEST_F(MissionWriterTest, EmptyStoreGivesTheSixtyFiveLineFile) {
  ASSERT_TRUE(Run());
  const std::string mission = Mission();
  EXPECT_EQ(Frame(kModeMission, kIntel), mission);
  EXPECT_EQ(65, std::count(mission.begin(), mission.end(), '\n'));
  EXPECT_EQ("Groups: 0\nTriggers: 0\nVehicles: 0\nMarkers: 0\n", Log());
  EXPECT_FALSE(fs::exists(TemporaryPathFor(MissionPath())));
}

TEST_F(MissionWriterTest, ModeSelectsTheSection) {
  // Without groups the first empty vehicle takes the id 0.
  Add(ObjectType::kVehicle, 1, {{"TYPE", "Jeep"}});
  const std::string content = std::string(kIntel) +
                              "\tclass Vehicles\n\t{\n\t\titems=1;\n\t\tclass Item0\n\t\t{\n"
                              "\t\t\tside=\"EMPTY\";\n\t\t\tid=0;\n\t\t\tvehicle=\"Jeep\";\n"
                              "\t\t};\n\t};\n";
  for (RunMode mode : {kModeIntro, kModeMission, kModeWin, kModeLoose}) {
    ASSERT_TRUE(Run(mode)) << mode;
    EXPECT_EQ(Frame(mode, content), Mission()) << "mode " << mode;
  }
}

TEST_F(MissionWriterTest, IntelRows) {
  const struct {
    Arguments arguments;
    std::string lines;
  } cases[] = {
      {{},
       "\t\tstartWeather=0.40000001;\n\t\tforecastWeather=0.25;\n\t\tyear=2008;\n"
       "\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n"},
      {{{"FOG", "0.3"}, {"FOG_WANTED", "0.1"}},
       "\t\tstartWeather=0.40000001;\n\t\tstartFog=0.3;\n\t\tforecastWeather=0.25;\n"
       "\t\tforecastFog=0.1;\n\t\tyear=2008;\n\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n"
       "\t\tminute=20;\n"},
      {{{"minute", "5"},
        {"Hour", "6"},
        {"DAY", "7"},
        {"MONTH", "8"},
        {"YEAR", "1990"},
        {"FOG_WANTED", "0.2"},
        {"OVERCAST_WANTED", "0.9"},
        {"FOG", ""},
        {"OVERCAST", "50%"},
        {"OVERCAST", "second"}},
       "\t\tstartWeather=50%;\n\t\tstartFog=;\n\t\tforecastWeather=0.9;\n"
       "\t\tforecastFog=0.2;\n\t\tyear=1990;\n\t\tmonth=8;\n\t\tday=7;\n\t\thour=6;\n"
       "\t\tminute=5;\n"},
  };
  for (const auto& c : cases) {
    store_ = std::make_unique<ObjectStore>();
    Add(ObjectType::kIntel, 0, c.arguments);
    Add(ObjectType::kIntel, 1, {{"YEAR", "2020"}});  // only the first intel object counts
    ASSERT_TRUE(Run());
    EXPECT_EQ(Frame(kModeMission, "\tclass Intel\n\t{\n" + c.lines + "\t};\n"), Mission())
        << c.lines;
  }
}

TEST_F(MissionWriterTest, UnitIdsRunAcrossGroupsIntoEmptyVehicles) {
  Add(ObjectType::kCenter, 0, {{"SIDE", "WEST"}});
  Add(ObjectType::kCenter, 1, {{"SIDE", "EAST"}});
  Add(ObjectType::kCenter, 0, {{"SIDE", "LATER"}});  // the first centre of a number counts
  Add(ObjectType::kGroup, 1, {{"CENTER", "_center_0"}});
  Add(ObjectType::kGroup, 2, {{"CENTER", "_center_1"}});
  Add(ObjectType::kVehicle, 3, {{"TYPE", "Jeep"}});
  Add(ObjectType::kUnit, 4, {{"GROUP", "_group_1"}, {"TYPE", "W1"}});
  Add(ObjectType::kUnit, 5, {{"GROUP", "_group_2"}, {"TYPE", "E1"}});
  Add(ObjectType::kWaypoint, 6, {{"GROUP", "_group_2"}, {"TYPE", "MOVE"}});
  Add(ObjectType::kUnit, 7, {{"GROUP", "_group_1"}, {"TYPE", "W2"}});
  Add(ObjectType::kUnit, 8, {{"group", "_group_2"}, {"TYPE", "E2"}});
  Add(ObjectType::kVehicle, 9, {{"TYPE", "Truck"}});
  ASSERT_TRUE(Run());

  auto unit = [](int item, const char* side, int id, const char* type) {
    return "\t\t\t\tclass Item" + std::to_string(item) + "\n\t\t\t\t{\n\t\t\t\t\tside=\"" + side +
           "\";\n\t\t\t\t\tid=" + std::to_string(id) + ";\n\t\t\t\t\tvehicle=\"" + type +
           "\";\n\t\t\t\t};\n";
  };
  auto vehicle = [](int item, int id, const char* type) {
    return "\t\tclass Item" + std::to_string(item) +
           "\n\t\t{\n\t\t\tside=\"EMPTY\";\n\t\t\tid=" + std::to_string(id) +
           ";\n\t\t\tvehicle=\"" + type + "\";\n\t\t};\n";
  };
  const std::string content =
      std::string(kIntel) + "\tclass Groups\n\t{\n\t\titems=2;\n" +
      "\t\tclass Item0\n\t\t{\n\t\t\tside=\"WEST\";\n\t\t\tclass Vehicles\n\t\t\t{\n" +
      "\t\t\t\titems=2;\n" + unit(0, "WEST", 0, "W1") + unit(1, "WEST", 1, "W2") +
      "\t\t\t};\n\t\t};\n" +
      "\t\tclass Item1\n\t\t{\n\t\t\tside=\"EAST\";\n\t\t\tclass Vehicles\n\t\t\t{\n" +
      "\t\t\t\titems=2;\n" + unit(0, "EAST", 2, "E1") + unit(1, "EAST", 3, "E2") +
      "\t\t\t};\n\t\t\tclass Waypoints\n\t\t\t{\n\t\t\t\titems=1;\n\t\t\t\tclass Item0\n"
      "\t\t\t\t{\n\t\t\t\t\ttype=\"MOVE\";\n\t\t\t\t\tclass Effects\n\t\t\t\t\t{\n"
      "\t\t\t\t\t};\n\t\t\t\t};\n\t\t\t};\n\t\t};\n\t};\n" +
      "\tclass Vehicles\n\t{\n\t\titems=2;\n" + vehicle(0, 4, "Jeep") + vehicle(1, 5, "Truck") +
      "\t};\n";
  EXPECT_EQ(Frame(kModeMission, content), Mission());
  EXPECT_EQ(
      "Groups: 2\nUnits in group 1: 2\nWP for group 1: 0\nUnits in group 2: 2\n"
      "WP for group 2: 1\nTriggers: 0\nVehicles: 2\nMarkers: 0\n",
      Log());
}

// Groups whose side cannot be found are written with an empty side; units
// and waypoints naming no group are written and counted nowhere.
TEST_F(MissionWriterTest, IncompleteGroupsAndStrayMembers) {
  Add(ObjectType::kCenter, 0, {{"SIDE", "WEST"}});
  Add(ObjectType::kCenter, 1, {{"NAME", "no side"}});
  Add(ObjectType::kCenter, kNoHeaderNumber, {{"SIDE", "EAST"}});
  Add(ObjectType::kGroup, 1, {});                         // no CENTER
  Add(ObjectType::kGroup, 2, {{"CENTER", "_center_7"}});  // no such centre
  Add(ObjectType::kGroup, 3, {{"CENTER", "_center_1"}});  // centre without SIDE
  Add(ObjectType::kGroup, 4, {{"CENTER", "center"}});     // no number
  Add(ObjectType::kGroup, 5, {{"CENTER", "_center_0"}});  // complete
  for (const char* group : {"_group_1", "_group_2", "_group_3", "_group_4", "_group_5"}) {
    Add(ObjectType::kUnit, 10, {{"GROUP", group}});
  }
  Add(ObjectType::kUnit, 20, {{"TYPE", "no group"}});
  Add(ObjectType::kUnit, 21, {{"GROUP", "_group_9"}});
  Add(ObjectType::kUnit, 22, {{"GROUP", "group"}});
  Add(ObjectType::kWaypoint, 23, {{"TYPE", "no group"}});
  ASSERT_TRUE(Run());

  std::string groups = "\tclass Groups\n\t{\n\t\titems=5;\n";
  std::string log = "Groups: 5\n";
  const char* const sides[] = {"", "", "", "", "WEST"};
  for (int g = 0; g < 5; ++g) {
    const std::string side = sides[g];
    groups += "\t\tclass Item" + std::to_string(g) + "\n\t\t{\n\t\t\tside=\"" + side +
              "\";\n\t\t\tclass Vehicles\n\t\t\t{\n\t\t\t\titems=1;\n\t\t\t\tclass Item0\n"
              "\t\t\t\t{\n\t\t\t\t\tside=\"" +
              side + "\";\n\t\t\t\t\tid=" + std::to_string(g) + ";\n\t\t\t\t};\n\t\t\t};\n\t\t};\n";
    log += "Units in group " + std::to_string(g + 1) + ": 1\nWP for group " +
           std::to_string(g + 1) + ": 0\n";
  }
  groups += "\t};\n";
  EXPECT_EQ(Frame(kModeMission, kIntel + groups), Mission());
  EXPECT_EQ(log + "Triggers: 0\nVehicles: 0\nMarkers: 0\n", Log());
}

// Two groups of one number both get its members; the unit passes the
// height rule twice, so its second item carries a second setpos.
TEST_F(MissionWriterTest, GroupsSharingANumberShareTheirMembers) {
  Add(ObjectType::kCenter, 0, {{"SIDE", "WEST"}});
  Add(ObjectType::kGroup, 1, {{"CENTER", "_center_0"}});
  Add(ObjectType::kGroup, 1, {{"CENTER", "_center_0"}});
  Add(ObjectType::kUnit, 2, {{"GROUP", "_group_1"}, {"POSITION", "[1,2,3]"}});
  Add(ObjectType::kWaypoint, 3, {{"GROUP", "_group_1"}});
  ASSERT_TRUE(Run());

  std::string groups = "\tclass Groups\n\t{\n\t\titems=2;\n";
  const char* const inits[] = {"this setpos [1,2,3];",
                               "this setpos [1,2,3];; this setpos [1,2,3];"};
  for (int g = 0; g < 2; ++g) {
    groups += "\t\tclass Item" + std::to_string(g) +
              "\n\t\t{\n\t\t\tside=\"WEST\";\n\t\t\tclass Vehicles\n\t\t\t{\n\t\t\t\titems=1;\n"
              "\t\t\t\tclass Item0\n\t\t\t\t{\n\t\t\t\t\tside=\"WEST\";\n\t\t\t\t\tid=" +
              std::to_string(g) + ";\n\t\t\t\t\tposition[]={1,3,2};\n\t\t\t\t\tinit=\"" + inits[g] +
              "\";\n\t\t\t\t};\n\t\t\t};\n\t\t\tclass Waypoints\n\t\t\t{\n\t\t\t\titems=1;\n"
              "\t\t\t\tclass Item0\n\t\t\t\t{\n\t\t\t\t\tclass Effects\n\t\t\t\t\t{\n"
              "\t\t\t\t\t};\n\t\t\t\t};\n\t\t\t};\n\t\t};\n";
  }
  groups += "\t};\n";
  EXPECT_EQ(Frame(kModeMission, kIntel + groups), Mission());
  EXPECT_EQ(
      "Groups: 2\nUnits in group 1: 1\nWP for group 1: 1\nUnits in group 1: 1\n"
      "WP for group 1: 1\nTriggers: 0\nVehicles: 0\nMarkers: 0\n",
      Log());
}

TEST_F(MissionWriterTest, DefaultAgeComesFirstAndDefaultTypeLast) {
  Add(ObjectType::kTrigger, 1, {{"NAME", "t0"}});
  Add(ObjectType::kTrigger, 2, {{"NAME", "t1"}, {"Age", "ACTUAL"}});
  Add(ObjectType::kMarker, 3, {{"NAME", "m0"}});
  Add(ObjectType::kMarker, 4, {{"type", ""}, {"NAME", "m1"}});
  ASSERT_TRUE(Run());
  const std::string effects = "\t\t\tclass Effects\n\t\t\t{\n\t\t\t};\n";
  const std::string content =
      std::string(kIntel) + "\tclass Sensors\n\t{\n\t\titems=2;\n" +
      "\t\tclass Item0\n\t\t{\n\t\t\tage=\"UNKNOWN\";\n\t\t\tname=\"t0\";\n" + effects +
      "\t\t};\n\t\tclass Item1\n\t\t{\n\t\t\tname=\"t1\";\n\t\t\tage=\"ACTUAL\";\n" + effects +
      "\t\t};\n\t};\n\tclass Markers\n\t{\n\t\titems=2;\n" +
      "\t\tclass Item0\n\t\t{\n\t\t\tname=\"m0\";\n\t\t\ttype=\"mil_objective\";\n\t\t};\n" +
      "\t\tclass Item1\n\t\t{\n\t\t\ttype=\"\";\n\t\t\tname=\"m1\";\n\t\t};\n\t};\n";
  EXPECT_EQ(Frame(kModeMission, content), Mission());
  EXPECT_EQ("Groups: 0\nTriggers: 2\nVehicles: 0\nMarkers: 2\n", Log());
}

TEST_F(MissionWriterTest, ReplacesAnExistingMissionFile) {
  std::ofstream(folder_ / "mission.pld") << "old";
  ASSERT_TRUE(Run());
  EXPECT_EQ(Frame(kModeMission, kIntel), Mission());
  EXPECT_FALSE(fs::exists(TemporaryPathFor(MissionPath())));
}

// A failed run logs the message and leaves what stood at mission.pld alone.
TEST_F(MissionWriterTest, FailureLeavesTheOldFile) {
  const std::string failure = "Cannot write mission file!\nPath: " + MissionPath() + "\n";
  const std::string counts = "Groups: 0\nTriggers: 0\nVehicles: 0\nMarkers: 0\n";
  const fs::path temporary = TemporaryPathFor(MissionPath());
  const fs::path mission = MissionPath();

  // The temporary file cannot be created: nothing is written or counted.
  std::ofstream(mission) << "old";
  fs::create_directory(temporary);
  EXPECT_FALSE(Run());
  EXPECT_EQ("old", Mission());
  EXPECT_TRUE(fs::is_directory(temporary));
  EXPECT_EQ(failure, Log());

  // The rename fails: the complete temporary file is removed again.
  fs::remove(temporary);
  fs::remove(mission);
  fs::create_directory(mission);
  std::ofstream(mission / "keep") << "kept";
  EXPECT_FALSE(Run());
  EXPECT_EQ("kept", ReadBytes(mission / "keep"));
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_EQ(failure + counts + failure, Log());
}

}  // namespace
}  // namespace vexlar
