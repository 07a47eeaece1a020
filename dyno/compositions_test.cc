#include "dyno/compositions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "dyno/number_text.h"
#include "tests/test_util.h"

namespace vexlar {
namespace {

// Ten significant digits; fixed notation when the rounded value's exponent
// is -1 to 9 (9999999999.6 rounds up to 1e10), else "d.ddde+XXX" with three
// exponent digits; trailing zeros go, the point stays.
TEST(FormatNumberText, TenDigitsFixedOrExponentialAlwaysWithAPoint) {
  const double kInf = std::numeric_limits<double>::infinity();
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {-0.0, "0."},
      {-12.5, "-12.5"},
      {1.23456789051, "1.234567891"},
      {0.05, "5.e-002"},
      {0.1, "0.1"},
      {0.0999999999, "9.99999999e-002"},
      {1e9, "1000000000."},
      {1e10, "1.e+010"},
      {-98765432109876.0, "-9.876543211e+013"},
      {4.9406564584124654e-324, "4.940656458e-324"},
      {9999999999.6, "1.e+010"},
      {9999999999.4, "9999999999."},
      {0.099999999999, "0.1"},
      {kInf, "inf"},
      {-kInf, "-inf"},
      {kNaN, "nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, FormatNumberText(c.value)) << c.value;
}

// The azimut (direction + angle) and the health (1 - damage) are written as
// computed, not brought into any range. Turns are checked in the expansion.
TEST(PlaceEntry, AzimutAndHealthAreNotBroughtIntoARange) {
  const VehicleTexts texts = PlaceEntry(0, 0, -90, {"Gun", 0, 0, 3, -400, 0.05, 1.25});
  EXPECT_EQ("[0.,0.,3.]", texts.position);
  EXPECT_EQ("-490.", texts.azimut);
  EXPECT_EQ("5.e-002", texts.fuel);
  EXPECT_EQ("-0.25", texts.health);
}

// A program folder with "DynO.cpp" and the "DynO" folder, and a run log.
class ExpandCompositionsTest : public ::testing::Test {
 protected:
  void TearDown() override { std::fclose(console_); }

  void Add(ObjectType type, std::vector<ObjectArgument> arguments) {
    SourceObject object = store_.NewSourceObject();
    object.type = type;
    object.arguments = std::move(arguments);
    store_.AppendToList(std::move(object));
  }
  void Expand() { ExpandCompositions(folder_.Path(), &store_, &log_); }
  std::string Log() const { return test::ReadFile(folder_.Path("run.log")); }
  std::string ConfigLine() const { return "DynO config file: " + folder_.Path("DynO.cpp") + "\n"; }
  // The store's lines from the object with id `first` on.
  std::string ObjectsFrom(std::uint32_t first) const {
    const std::string all = store_.DebugString();
    const std::size_t at = all.find("\n" + std::to_string(first) + " ");
    return at == std::string::npos ? "" : all.substr(at + 1);
  }

  test::TempFolder folder_;
  std::FILE* console_ = std::tmpfile();
  RunLog log_{folder_.Path("run.log"), console_};
  ObjectStore store_;
};

// Failures of one composition (unknown type, no TYPE, unreadable script,
// every time it is used) leave the others expanded; vehicles follow all
// objects. Types and argument names match in any case; a composition without
// POSITION is centred at (0, 0), and ANGLE is read as a decimal number.
TEST_F(ExpandCompositionsTest, AFailedCompositionLeavesTheNextOnesExpanded) {
  // The configuration is searched, not parsed: a line per type will do.
  test::WriteFile(folder_.Path("DynO.cpp"),
                  "Depot objectScript=\"\\x\\depot.txt\";\nTower objectScript=\"\\x\\lost.txt\";\n"
                  "Roadblock objectScript=\"/x/roadblock.txt\";\nBare objectScript=\"\\x\\\";\n");
  test::WriteFile(folder_.Path("DynO/depot.txt"), "[[\"Pump\",[2,1,2],10,0.05,0.5]]");
  test::WriteFile(folder_.Path("DynO/roadblock.txt"),
                  "// gate\r\n[\r\n\t[\"Flag\"],\r\n\t[\"Barrier\",[0,0],0]\r\n]\r\n");
  Add(ObjectType::kObjectComposition,
      {{"type", "depot"}, {"Angle", "90"}, {"POSITION", "[10,20,99]"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "ghost"}});
  Add(ObjectType::kObjectComposition, {{"POSITION", "[30,30,0]"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "tower"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "Tower"}});
  Add(ObjectType::kObjectComposition, {{"TYPE", "bare"}});  // an empty script name
  Add(ObjectType::kUnit, {});
  Add(ObjectType::kObjectComposition, {{"TYPE", "ROADBLOCK"}, {"ANGLE", "0x5A"}});
  Expand();

  const std::string lost = ConfigLine() + "DynO script name: lost.txt\n" +
                           "Cannot open script file!\nPath: " + folder_.Path("DynO/lost.txt") +
                           "\n";
  EXPECT_EQ(ConfigLine() +
                "DynO script name: depot.txt\nDynO object class: Pump\n"
                "DynO object position: [2.000000,1.000000,2.000000]\nDynO object angle: 100.\n" +
                ConfigLine() + "Cannot find DynO script!\nType: ghost\n" + ConfigLine() +
                "Cannot find DynO script!\nType: \n" + lost + lost + ConfigLine() +
                "DynO script name: \nCannot open script file!\nPath: " + folder_.Path("DynO/") +
                "\n" + ConfigLine() +
                "DynO script name: roadblock.txt\nDynO object class: Barrier\n" +
                "DynO object position: [0.000000,0.000000,0.000000]\nDynO object angle: 0.\n",
            Log());
  EXPECT_EQ(
      R"(8 vehicle vehicle 0 POSITION="[11.00005365,18.00002683,2.]" TYPE="Pump" AZIMUT="100." FUEL="5.e-002" HEALTH="0.5"
9 vehicle vehicle 0 POSITION="[0.,0.,0.]" TYPE="Barrier" AZIMUT="0." FUEL="1." HEALTH="1."
)",
      ObjectsFrom(8));
}

TEST_F(ExpandCompositionsTest, AMissingConfigurationFailsEveryComposition) {
  Add(ObjectType::kObjectComposition, {{"TYPE", "depot"}});
  Add(ObjectType::kObjectComposition, {});
  Expand();
  const std::string failure =
      ConfigLine() + "Cannot open DynO config file!\nPath: " + folder_.Path("DynO.cpp") + "\n";
  EXPECT_EQ(failure + failure, Log());
  EXPECT_EQ(2u, store_.NextObjectId());
}

TEST_F(ExpandCompositionsTest, WithoutCompositionsNothingIsReadOrLogged) {
  Add(ObjectType::kVehicle, {{"TYPE", "depot"}});
  Expand();
  EXPECT_FALSE(test::FileExists(folder_.Path("run.log")));
  EXPECT_EQ(1u, store_.NextObjectId());
}

}  // namespace
}  // namespace vexlar
