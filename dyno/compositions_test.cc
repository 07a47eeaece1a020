#include "dyno/compositions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;

TEST(PlaceEntry, TurnsOffsetsClockwiseAroundTheCentre) {
  const struct {
    double cx, cy, angle;
    ScriptEntry entry;
    const char *position, *azimut, *fuel, *health;
  } cases[] = {
      {100,
       200,
       90,
       {"Truck", 10, 0, 0, 45, 0.5, 0.25},
       "[100.0002683,190.,0.]",
       "135.",
       "0.5",
       "0.75"},
      {100, 200, 90, {"Jeep", 0, 10, 0, 0, 1, 0}, "[110.,200.0002683,0.]", "90.", "1.", "1."},
      // The turn factor is not pi / 180: a half turn misses the mirror point.
      {100,
       200,
       180,
       {"Truck", 10, 0, 0, 0, 1, 0},
       "[90.00000001,199.9994635,0.]",
       "180.",
       "1.",
       "1."},
      {100, 200, 0, {"Cart", 10, -5, 2, 30, 1, 0}, "[110.,195.,2.]", "30.", "1.", "1."},
      {0, 0, 300, {"Gun", 0, 0, 0, 90, 1, 0}, "[0.,0.,0.]", "390.", "1.", "1."},
      {0, 0, -90, {"Gun", 0, 0, 0, -400, 0.05, 1.25}, "[0.,0.,0.]", "-490.", "5.e-002", "-0.25"},
  };
  for (const auto& c : cases) {
    const VehicleTexts texts = PlaceEntry(c.cx, c.cy, c.angle, c.entry);
    const std::string input =
        c.entry.class_name.data() + std::string(" at angle ") + std::to_string(c.angle);
    EXPECT_EQ(c.position, texts.position) << input;
    EXPECT_EQ(c.azimut, texts.azimut) << input;
    EXPECT_EQ(c.fuel, texts.fuel) << input;
    EXPECT_EQ(c.health, texts.health) << input;
  }
  EXPECT_EQ(3.141539 / 180, kTurnFactor);
}

// The log in text mode, so that line ends stored as CR LF read as "\n".
std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A program folder of its own for each test, with "DynO.cpp", the "DynO"
// folder and a run log whose console is a temporary file.
class ExpandCompositionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              ("vexlar_dyno_" + std::string(info->name()) + "_" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder_ / "DynO");
    program_directory_ = folder_.string() + platform::kSeparator;
    console_ = std::tmpfile();
    ASSERT_NE(nullptr, console_);
    log_ = std::make_unique<RunLog>((folder_ / "run.log").string(), console_);
  }
  void TearDown() override {
    log_.reset();
    if (console_ != nullptr) std::fclose(console_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  void Add(ObjectType type, std::vector<ObjectArgument> arguments) {
    SourceObject object = store_.NewSourceObject();
    object.type = type;
    object.arguments = std::move(arguments);
    store_.AppendToList(std::move(object));
  }
  void Expand() { ExpandCompositions(program_directory_, &store_, log_.get()); }
  std::string Log() { return ReadText(folder_ / "run.log"); }
  std::string ConfigLine() { return "DynO config file: " + program_directory_ + "DynO.cpp\n"; }
  // The store's description of the objects from id `first` on.
  std::string ObjectsFrom(std::uint32_t first) {
    const std::string all = store_.DebugString();
    const std::size_t at = all.find("\n" + std::to_string(first) + " ");
    return at == std::string::npos ? "" : all.substr(at + 1);
  }

  fs::path folder_;
  std::string program_directory_;
  std::FILE* console_ = nullptr;
  std::unique_ptr<RunLog> log_;
  ObjectStore store_;
};

constexpr char kConfig[] =
    "class CfgDynO\n{\n"
    "\tclass Depot\n\t{\n\t\tobjectScript = \"\\tools\\DynO\\depot.txt\";\n\t};\n"
    "\tclass Tower\n\t{\n\t\tobjectScript = \"\\tools\\DynO\\lost_tower.txt\";\n\t};\n"
    "\tclass Roadblock\n\t{\n\t\tobjectScript = \"/tools/DynO/roadblock.txt\";\n\t};\n"
    "};\n";

TEST_F(ExpandCompositionsTest, WorkedExampleLogsEachVehicleAndAppendsItWithTheNextId) {
  Write("DynO.cpp", kConfig);
  Write("DynO/roadblock.txt",
        "// across the track\r\n[\r\n\t[\"Truck\",[10,0,0],45,0.5,0.25],\r\n\t[\"Flag\"],\r\n"
        "\t[\"Jeep\",[0,10],0]\r\n]\r\n");
  Add(ObjectType::kPrefix, {});
  Add(ObjectType::kObjectComposition,
      {{"type", "roadblock"}, {"POSITION", "[100,200,5]"}, {"Angle", "90"}});
  Add(ObjectType::kPostfix, {});
  Expand();

  EXPECT_EQ(ConfigLine() +
                "DynO script name: roadblock.txt\n"
                "DynO object class: Truck\n"
                "DynO object position: [10.000000,0.000000,0.000000]\n"
                "DynO object angle: 135.\n"
                "DynO object class: Jeep\n"
                "DynO object position: [0.000000,10.000000,0.000000]\n"
                "DynO object angle: 90.\n",
            Log());
  EXPECT_EQ(
      R"(3 vehicle vehicle 0 POSITION="[100.0002683,190.,0.]" TYPE="Truck" AZIMUT="135." FUEL="0.5" HEALTH="0.75"
4 vehicle vehicle 0 POSITION="[110.,200.0002683,0.]" TYPE="Jeep" AZIMUT="90." FUEL="1." HEALTH="1."
)",
      ObjectsFrom(3));
}

// Every kind of failed composition, and the same type expanded twice.
TEST_F(ExpandCompositionsTest, AFailedCompositionLeavesTheNextOnesExpanded) {
  Write("DynO.cpp", kConfig);
  Write("DynO/depot.txt", "[[\"Tank\",[1,0],0],[\"Pump\",[0,1,2],10,0.05,0.5]]");
  Write("DynO/roadblock.txt", "[\"Barrier\",[0,0],0]\n");
  Add(ObjectType::kObjectComposition, {{"TYPE", "depot"}, {"POSITION", "[10,20,99]"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "ghost"}, {"POSITION", "[20,20,0]"}});
  Add(ObjectType::kObjectComposition, {{"POSITION", "[30,30,0]"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "tower"}, {"POSITION", "[40,40,0]"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "Tower"}, {"POSITION", "[45,45,0]"}});
  Add(ObjectType::kUnit, {});
  Add(ObjectType::kObjectComposition, {{"TYPE", "ROADBLOCK"}, {"POSITION", "[50,50,0]"}});
  // Without POSITION the centre is (0, 0); ANGLE is read as a decimal text.
  Add(ObjectType::kObjectComposition, {{"TYPE", "Depot"}, {"ANGLE", "0x5A"}});
  Expand();

  const std::string depot =
      "DynO script name: depot.txt\n"
      "DynO object class: Tank\n"
      "DynO object position: [1.000000,0.000000,0.000000]\n"
      "DynO object angle: 0.\n"
      "DynO object class: Pump\n"
      "DynO object position: [0.000000,1.000000,2.000000]\n"
      "DynO object angle: 10.\n";
  const std::string lost_tower =
      "DynO script name: lost_tower.txt\nCannot open script file!\nPath: " + program_directory_ +
      "DynO" + platform::kSeparator + "lost_tower.txt\n";
  EXPECT_EQ(ConfigLine() + depot +                                          //
                ConfigLine() + "Cannot find DynO script!\nType: ghost\n" +  //
                ConfigLine() + "Cannot find DynO script!\nType: \n" +       //
                ConfigLine() + lost_tower +                                 //
                ConfigLine() + lost_tower +                                 //
                ConfigLine() + "DynO script name: roadblock.txt\nDynO object class: Barrier\n" +
                "DynO object position: [0.000000,0.000000,0.000000]\nDynO object angle: 0.\n" +
                ConfigLine() + depot,
            Log());
  EXPECT_EQ(
      R"(8 vehicle vehicle 0 POSITION="[11.,20.,0.]" TYPE="Tank" AZIMUT="0." FUEL="1." HEALTH="1."
9 vehicle vehicle 0 POSITION="[10.,21.,2.]" TYPE="Pump" AZIMUT="10." FUEL="5.e-002" HEALTH="0.5"
10 vehicle vehicle 0 POSITION="[50.,50.,0.]" TYPE="Barrier" AZIMUT="0." FUEL="1." HEALTH="1."
11 vehicle vehicle 0 POSITION="[1.,0.,0.]" TYPE="Tank" AZIMUT="0." FUEL="1." HEALTH="1."
12 vehicle vehicle 0 POSITION="[0.,1.,2.]" TYPE="Pump" AZIMUT="10." FUEL="5.e-002" HEALTH="0.5"
)",
      ObjectsFrom(8));
}

TEST_F(ExpandCompositionsTest, AMissingConfigurationFailsEveryComposition) {
  Add(ObjectType::kObjectComposition, {{"TYPE", "depot"}, {"POSITION", "[10,10,0]"}});
  Add(ObjectType::kObjectComposition, {{"POSITION", "[10,10,0]"}});
  Expand();
  const std::string failure =
      ConfigLine() + "Cannot open DynO config file!\nPath: " + program_directory_ + "DynO.cpp\n";
  EXPECT_EQ(failure + failure, Log());
  EXPECT_EQ(2u, store_.NextObjectId());
}

TEST_F(ExpandCompositionsTest, WithoutCompositionsNothingIsReadOrLogged) {
  Add(ObjectType::kVehicle, {{"TYPE", "depot"}});
  Expand();
  EXPECT_FALSE(fs::exists(folder_ / "run.log"));
  EXPECT_EQ(1u, store_.NextObjectId());
}

// The project's own composition data: every type its configuration lists
// must expand into vehicles.
TEST_F(ExpandCompositionsTest, SampleDataExpandsEveryType) {
  const std::string data =
      std::string(VEXLAR_SOURCE_DIR) + platform::kSeparator + "data" + platform::kSeparator;
  std::string config;
  ASSERT_TRUE(platform::ReadWholeFile(data + "DynO.cpp", &config));
  std::vector<std::string> types;
  for (std::size_t at = config.find("\tclass "); at != std::string::npos;
       at = config.find("\tclass ", at + 1)) {
    const std::size_t start = at + 7;
    types.push_back(config.substr(start, config.find_first_of("\r\n", start) - start));
  }
  ASSERT_GE(types.size(), 3u);
  for (const std::string& type : types) {
    ObjectStore store;
    SourceObject composition = store.NewSourceObject();
    composition.type = ObjectType::kObjectComposition;
    composition.arguments = {{"TYPE", type}, {"POSITION", "[0,0,0]"}};
    store.AppendToList(std::move(composition));
    ExpandCompositions(data, &store, log_.get());
    EXPECT_GT(store.NextObjectId(), 1u) << type;
  }
  EXPECT_EQ(std::string::npos, Log().find("Cannot")) << Log();
}

}  // namespace
}  // namespace vexlar
