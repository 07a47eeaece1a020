#include "writer/attributes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vexlar {
namespace {

using Arguments = std::vector<ObjectArgument>;
using Emitter = void (*)(const Arguments&, TextWriter&);

constexpr char kSensorEffects[] = "\t\t\tclass Effects\n\t\t\t{\n\t\t\t};\n";
constexpr char kWaypointEffects[] = "\t\t\t\t\tclass Effects\n\t\t\t\t\t{\n\t\t\t\t\t};\n";

// "NAME=value|NAME=value": views into the literal, which outlives the test.
Arguments Args(std::string_view text) {
  Arguments arguments;
  while (!text.empty()) {
    const std::size_t bar = std::min(text.find('|'), text.size());
    const std::string_view pair = text.substr(0, bar);
    const std::size_t equals = pair.find('=');
    arguments.push_back({pair.substr(0, equals), pair.substr(equals + 1)});
    text.remove_prefix(std::min(bar + 1, text.size()));
  }
  return arguments;
}

std::string Emit(Emitter emit, const Arguments& arguments) {
  TextWriter out;
  emit(arguments, out);
  return out.pending();
}

std::string Describe(const Arguments& arguments) {
  std::string text;
  for (const ObjectArgument& a : arguments) {
    text += std::string(a.name) + "=\"" + std::string(a.value) + "\" ";
  }
  return text;
}

// Every key of each table, names in mixed case, in an order unlike the
// table's: lines follow the arguments, effects come after all attributes.
TEST(Attributes, EveryKeyInArgumentOrder) {
  const struct {
    Emitter emit;
    Arguments arguments;
    std::string expected;
  } cases[] = {
      {WriteMarkerAttributes,
       Args("POSITION=[5000,6000,0]|Fill=FDiagonal|COLOR=ColorRed|type=Arrow|"
            "MARKER_TYPE=RECTANGLE|NAME=area1|TEXT=Area One|ANGLE=45|B=100|a=200"),
       "\t\t\tposition[]={5000,0,6000};\n\t\t\tfillName=\"FDiagonal\";\n"
       "\t\t\tcolorName=\"ColorRed\";\n\t\t\ttype=\"Arrow\";\n\t\t\tmarkerType=\"RECTANGLE\";\n"
       "\t\t\tname=\"area1\";\n\t\t\ttext=\"Area One\";\n\t\t\tangle=45;\n\t\t\tb=100;\n"
       "\t\t\ta=200;\n"},
      {WriteVehicleAttributes,
       Args("AMMO=0.9|Health=0.8|FUEL=0.5|NAME=car|INIT=hint 1|AZIMUT=90|AGE=ACTUAL|"
            "SPECIAL=NONE|PLACEMENT=10|TYPE=Truck|LOCK=LOCKED|PRESENCE_CONDITION=go|"
            "position=[1,2,3]"),
       "\t\t\tammo=0.9;\n\t\t\thealth=0.8;\n\t\t\tfuel=0.5;\n\t\t\ttext=\"car\";\n"
       "\t\t\tinit=\"hint 1\";\n\t\t\tazimut=90;\n\t\t\tage=\"ACTUAL\";\n\t\t\tspecial=\"NONE\";\n"
       "\t\t\tplacement=10;\n\t\t\tvehicle=\"Truck\";\n\t\t\tlock=\"LOCKED\";\n"
       "\t\t\tpresenceCondition=\"go\";\n\t\t\tposition[]={1,3,2};\n"},
      {WriteUnitAttributes,
       Args("Position=[7,8,9]|AMMO=1|HEALTH=0.5|SKILL=0.6|NAME=s1|INIT=x|LEADER=true|"
            "AZIMUT=180|AGE=5 MIN|SPECIAL=FLY|PLACEMENT=0|TYPE=SoldierWB|LOCK=UNLOCKED|"
            "presence_condition=true"),
       "\t\t\t\t\tposition[]={7,9,8};\n\t\t\t\t\tammo=1;\n\t\t\t\t\thealth=0.5;\n"
       "\t\t\t\t\tskill=0.6;\n\t\t\t\t\ttext=\"s1\";\n\t\t\t\t\tinit=\"x\";\n"
       "\t\t\t\t\tleader=1;\n\t\t\t\t\tazimut=180;\n\t\t\t\t\tage=\"5 MIN\";\n"
       "\t\t\t\t\tspecial=\"FLY\";\n\t\t\t\t\tplacement=0;\n\t\t\t\t\tvehicle=\"SoldierWB\";\n"
       "\t\t\t\t\tlock=\"UNLOCKED\";\n\t\t\t\t\tpresenceCondition=\"true\";\n"},
      {WriteSensorAttributes,
       Args("TITLE_EFFECT_TITLE=t|Position=[1,2,0]|EXP_DEACTIV=d|EXP_ACTIV=a|EXP_COND=this|"
            "TITLE_EFFECT_EFFECT=PLAIN|NAME=trg|TEXT=Go|AGE=30 MIN|TIMEOUT_MAX=3|"
            "TIMEOUT_MID=2|TIMEOUT_MIN=1|TITLE_EFFECT_TYPE=TEXT|REPEATING=true|"
            "ACTIVATION_TYPE=PRESENT|ACTIVATION_BY=WEST|MUSIC_EFFECT=m|ANGLE=10|"
            "RECTANGULAR=true|SOUND_DET_EFFECT=sd|B=20|A=30|SOUND_ENV_EFFECT=se|"
            "VOICE_EFFECT=v|SOUND_EFFECT=s|EFFECT_CONDITION=c"),
       "\t\t\tposition[]={1,0,2};\n\t\t\texpDeactiv=\"d\";\n\t\t\texpActiv=\"a\";\n"
       "\t\t\texpCond=\"this\";\n\t\t\tname=\"trg\";\n\t\t\ttext=\"Go\";\n\t\t\tage=\"30 MIN\";\n"
       "\t\t\ttimeoutMax=3;\n\t\t\ttimeoutMid=2;\n\t\t\ttimeoutMin=1;\n\t\t\trepeating=1;\n"
       "\t\t\tactivationType=\"PRESENT\";\n\t\t\tactivationBy=\"WEST\";\n\t\t\tangle=10;\n"
       "\t\t\trectangular=1;\n\t\t\tb=20;\n\t\t\ta=30;\n"
       "\t\t\tclass Effects\n\t\t\t{\n\t\t\t\ttitle=\"t\";\n\t\t\t\ttitleEffect=\"PLAIN\";\n"
       "\t\t\t\ttitleType=\"TEXT\";\n\t\t\t\ttrack=\"m\";\n\t\t\t\tsoundDet=\"sd\";\n"
       "\t\t\t\tsoundEnv=\"se\";\n\t\t\t\tvoice=\"v\";\n\t\t\t\tsound=\"s\";\n"
       "\t\t\t\tcondition=\"c\";\n\t\t\t};\n"},
      {WriteWaypointAttributes,
       Args("Sound_Effect=s|POSITION=[700,800,0]|PLACEMENT=20|SHOW=NEVER|TIMEOUT_MAX=3|"
            "TIMEOUT_MID=2|TIMEOUT_MIN=1|SCRIPT=a.sqs|EXP_ACTIV=go|EXP_COND=true|"
            "DESCRIPTION=Attack|COMBAT=AWARE|SPEED=FULL|FORMATION=WEDGE|COMBAT_MODE=RED|"
            "TYPE=SAD|effect_condition=c"),
       "\t\t\t\t\tposition[]={700,0,800};\n\t\t\t\t\tplacement=20;\n\t\t\t\t\tshowWP=\"NEVER\";\n"
       "\t\t\t\t\ttimeoutMax=3;\n\t\t\t\t\ttimeoutMid=2;\n\t\t\t\t\ttimeoutMin=1;\n"
       "\t\t\t\t\tscript=\"a.sqs\";\n\t\t\t\t\texpActiv=\"go\";\n\t\t\t\t\texpCond=\"true\";\n"
       "\t\t\t\t\tdescription=\"Attack\";\n\t\t\t\t\tcombat=\"AWARE\";\n"
       "\t\t\t\t\tspeed=\"FULL\";\n\t\t\t\t\tformation=\"WEDGE\";\n"
       "\t\t\t\t\tcombatMode=\"RED\";\n\t\t\t\t\ttype=\"SAD\";\n"
       "\t\t\t\t\tclass Effects\n\t\t\t\t\t{\n\t\t\t\t\t\tsound=\"s\";\n"
       "\t\t\t\t\t\tcondition=\"c\";\n\t\t\t\t\t};\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Emit(c.emit, c.arguments)) << Describe(c.arguments);
  }
}

// What the walk drops or repeats, and that values pass through untouched.
TEST(Attributes, WalkDropsUnknownsRepeatsDuplicatesAndKeepsValuesVerbatim) {
  const struct {
    Emitter emit;
    Arguments arguments;
    std::string expected;
  } cases[] = {
      {WriteMarkerAttributes, {}, ""},
      {WriteSensorAttributes, {}, kSensorEffects},
      {WriteWaypointAttributes, {}, kWaypointEffects},
      // Keys of another table write nothing.
      {WriteMarkerAttributes, {{"INIT", "x"}, {"SIDE", "WEST"}}, ""},
      {WriteVehicleAttributes, {{"SKILL", "1"}, {"LEADER", "true"}, {"PLAYER", "true"}}, ""},
      {WriteUnitAttributes, {{"FUEL", "1"}, {"GROUP", "_group_1"}}, ""},
      {WriteSensorAttributes, {{"TYPE", "SAD"}, {"PLACEMENT", "5"}}, kSensorEffects},
      {WriteWaypointAttributes, {{"EXP_DEACTIV", "x"}, {"NAME", "n"}}, kWaypointEffects},
      // A name matches only as a whole.
      {WriteMarkerAttributes, {{"NAMES", "x"}, {"NAM", "x"}, {" NAME", "x"}}, ""},
      {WriteMarkerAttributes,
       {{"TEXT", "one"}, {"text", "two"}},
       "\t\t\ttext=\"one\";\n\t\t\ttext=\"two\";\n"},
      {WriteSensorAttributes,
       {{"SOUND_EFFECT", "a"}, {"NAME", "n"}, {"sound_effect", "b"}},
       "\t\t\tname=\"n\";\n\t\t\tclass Effects\n\t\t\t{\n\t\t\t\tsound=\"a\";\n"
       "\t\t\t\tsound=\"b\";\n\t\t\t};\n"},
      {WriteVehicleAttributes,
       {{"INIT", "hint \"%s %d 100%\""}, {"FUEL", ""}, {"NAME", ""}, {"TYPE", " x "}},
       "\t\t\tinit=\"hint \"%s %d 100%\"\";\n\t\t\tfuel=;\n\t\t\ttext=\"\";\n"
       "\t\t\tvehicle=\" x \";\n"},
      // Position fields keep their blanks and come first, third, second.
      {WriteMarkerAttributes,
       {{"POSITION", "[100.50, 200, 5]"}, {"POSITION", "[1,2,3];"}, {"POSITION", ""}},
       "\t\t\tposition[]={100.50, 5, 200};\n\t\t\tposition[]={1,3,2};\n"
       "\t\t\tposition[]={0,0,0};\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Emit(c.emit, c.arguments)) << Describe(c.arguments);
  }
}

TEST(Attributes, OnlyLowerCaseTrueIsTrue) {
  const struct {
    Emitter emit;
    const char* name;
    std::string true_line;
    std::string other_line;
    const char* tail;
  } rows[] = {
      {WriteSensorAttributes, "RECTANGULAR", "\t\t\trectangular=1;\n", "\t\t\trectangular=0;\n",
       kSensorEffects},
      {WriteSensorAttributes, "Repeating", "\t\t\trepeating=1;\n", "\t\t\trepeating=0;\n",
       kSensorEffects},
      {WriteUnitAttributes, "leader", "\t\t\t\t\tleader=1;\n", "\t\t\t\t\tleader=0;\n", ""},
      {WriteUnitAttributes, "PLAYER", "\t\t\t\t\tplayer=\"PLAYER COMMANDER\";\n", "", ""},
      {WriteUnitAttributes, "PLAYABLE", "\t\t\t\t\tplayer=\"PLAY CDG\";\n", "", ""},
  };
  const char* const not_true[] = {"false", "TRUE", "True", "1", "", "true ", " true", "yes"};
  for (const auto& row : rows) {
    const Arguments truthful = {{row.name, "true"}};
    EXPECT_EQ(row.true_line + row.tail, Emit(row.emit, truthful)) << row.name;
    for (const char* value : not_true) {
      const Arguments arguments = {{row.name, value}};
      EXPECT_EQ(row.other_line + row.tail, Emit(row.emit, arguments))
          << row.name << "=\"" << value << "\"";
    }
  }
}

TEST(Attributes, UnitPlayerLines) {
  const struct {
    Arguments arguments;
    std::string expected;
  } cases[] = {
      // The worked example: PLAY CDG at the place of PLAYABLE.
      {{{"NAME", "Alpha"},
        {"PLAYABLE", "true"},
        {"POSITION", "[10,20,0]"},
        {"LEADER", "false"},
        {"TYPE", "SoldierWB"}},
       "\t\t\t\t\ttext=\"Alpha\";\n\t\t\t\t\tplayer=\"PLAY CDG\";\n"
       "\t\t\t\t\tposition[]={10,0,20};\n\t\t\t\t\tleader=0;\n\t\t\t\t\tvehicle=\"SoldierWB\";\n"},
      // Any PLAYER argument, before or after, whatever its value, silences PLAYABLE.
      {{{"PLAYABLE", "true"}, {"PLAYER", "true"}}, "\t\t\t\t\tplayer=\"PLAYER COMMANDER\";\n"},
      {{{"PLAYER", "true"}, {"PLAYABLE", "true"}}, "\t\t\t\t\tplayer=\"PLAYER COMMANDER\";\n"},
      {{{"PLAYABLE", "true"}, {"PLAYER", "false"}}, ""},
      {{{"Player", ""}, {"PLAYABLE", "true"}}, ""},
      {{{"PLAYABLE", "true"}, {"player", "TRUE"}}, ""},
      {{{"TYPE", "h"}, {"Playable", "true"}},
       "\t\t\t\t\tvehicle=\"h\";\n\t\t\t\t\tplayer=\"PLAY CDG\";\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Emit(WriteUnitAttributes, c.arguments)) << Describe(c.arguments);
  }
}

TEST(Attributes, TriggerWorkedExample) {
  const Arguments arguments = {
      {"SOUND_EFFECT", "s1"}, {"POSITION", "[10,20,0]"}, {"REPEATING", "true"}, {"NAME", "t1"}};
  EXPECT_EQ(
      "\t\t\tposition[]={10,0,20};\n\t\t\trepeating=1;\n\t\t\tname=\"t1\";\n"
      "\t\t\tclass Effects\n\t\t\t{\n\t\t\t\tsound=\"s1\";\n\t\t\t};\n",
      Emit(WriteSensorAttributes, arguments));
}

}  // namespace
}  // namespace vexlar
