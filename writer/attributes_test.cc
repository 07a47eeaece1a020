#include "writer/attributes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace vexlar {
namespace {

using Arguments = std::vector<ObjectArgument>;
using Emitter = void (*)(const Arguments&, TextWriter&);

// The indentation of item lines: three tabs for markers, empty vehicles and
// triggers, five for units and waypoints.
const std::string k3 = "\t\t\t";
const std::string k5 = "\t\t\t\t\t";

// The '|'-separated parts of `text`.
std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t bar; !text.empty(); text.remove_prefix(std::min(bar + 1, text.size()))) {
    bar = std::min(text.find('|'), text.size());
    parts.push_back(text.substr(0, bar));
  }
  return parts;
}

// "NAME=value|NAME=value", viewing into the literal.
Arguments Args(std::string_view text) {
  Arguments arguments;
  for (std::string_view pair : Split(text)) {
    const std::size_t equals = pair.find('=');
    arguments.push_back({pair.substr(0, equals), pair.substr(equals + 1)});
  }
  return arguments;
}

// Each of the '|'-separated `lines` at `indent`.
std::string Lines(const std::string& indent, std::string_view lines) {
  std::string text;
  for (std::string_view line : Split(lines)) text += indent + std::string(line) + "\n";
  return text;
}

// An Effects class at `indent` with `lines` one tab deeper.
std::string Effects(const std::string& indent, std::string_view lines) {
  return Lines(indent, "class Effects|{") + Lines(indent + "\t", lines) + Lines(indent, "};");
}

std::string Emit(Emitter emit, const Arguments& arguments) {
  TextWriter out;
  emit(arguments, out);
  return out.pending();
}

// Lines follow the arguments (names in any case), effect lines go into the
// Effects class after all others, which stands even when empty, and position
// fields come first, third, second. The bundled example (tests/golden_test.cc)
// writes most rows; the rows it lacks are checked here.
TEST(Attributes, KnownNamesWriteTheirLinesInArgumentOrder) {
  const struct {
    Emitter emit;
    const char* arguments;
    std::string expected;
  } cases[] = {
      {WriteVehicleAttributes, "AMMO=0.9|Age=ACTUAL|PLACEMENT=10|presence_condition=go",
       Lines(k3, R"(ammo=0.9;|age="ACTUAL";|placement=10;|presenceCondition="go";)")},
      {WriteWaypointAttributes,
       "Sound_Env_Effect=se|TIMEOUT_MID=2|SOUND_DET_EFFECT=sd|EXP_ACTIV=go|"
       "TITLE_EFFECT_EFFECT=PLAIN|effect_condition=c|POSITION=[700,800,0]",
       Lines(k5, R"(timeoutMid=2;|expActiv="go";|position[]={700,0,800};)") +
           Effects(k5, R"(soundEnv="se";|soundDet="sd";|titleEffect="PLAIN";|condition="c";)")},
      {WriteSensorAttributes, "TITLE_EFFECT_TITLE=t|Position=[1,2,0]",
       Lines(k3, "position[]={1,0,2};") + Effects(k3, R"(title="t";)")},
      // Names of other tables and partial names write nothing.
      {WriteMarkerAttributes, "INIT=x|SIDE=WEST|NAMES=x|NAM=x| NAME=x", ""},
      {WriteVehicleAttributes, "SKILL=1|LEADER=true|PLAYER=true|PLAYABLE=true", ""},
      {WriteUnitAttributes, "FUEL=1|GROUP=_group_1|COLOR=x", ""},
      {WriteSensorAttributes, "TYPE=SAD|PLACEMENT=5", Effects(k3, "")},
      {WriteWaypointAttributes, "EXP_DEACTIV=x|NAME=n", Effects(k5, "")},
      // Repeated names repeat their line; values are copied verbatim.
      {WriteSensorAttributes, "SOUND_EFFECT=a|NAME=n|sound_effect=b",
       Lines(k3, R"(name="n";)") + Effects(k3, R"(sound="a";|sound="b";)")},
      {WriteVehicleAttributes, R"(INIT=hint "%s %d 100%"|FUEL=|NAME=|TYPE= x )",
       Lines(k3, R"(init="hint "%s %d 100%"";|fuel=;|text="";|vehicle=" x ";)")},
      // Position fields are copied verbatim, blanks and '%' included, and
      // read "0" when empty.
      {WriteMarkerAttributes,
       "POSITION=[100.50, 200, 5]|POSITION=[1,2,3];|POSITION=|POSITION=[,5,]|"
       "POSITION=[[1,2,3]|POSITION=[%s,%d,5]",
       Lines(k3,
             "position[]={100.50, 5, 200};|position[]={1,3,2};|position[]={0,0,0};|"
             "position[]={0,0,5};|position[]={1,3,2};|position[]={%s,5,%d};")},
      // Only "true" is true: no other case, no blanks, no number.
      {WriteSensorAttributes, "RECTANGULAR=TRUE|Repeating=True|rectangular= true|REPEATING=1",
       Lines(k3, "rectangular=0;|repeating=0;|rectangular=0;|repeating=0;") + Effects(k3, "")},
      {WriteUnitAttributes, "LEADER=TRUE|leader=true |PLAYABLE=True",
       Lines(k5, "leader=0;|leader=0;")},
      {WriteUnitAttributes, "PLAYER=TRUE|PLAYER=1", ""},
      // Any PLAYER argument, before or after, whatever its value, silences
      // PLAYABLE.
      {WriteUnitAttributes, "PLAYABLE=true|PLAYER=true|Playable=true",
       Lines(k5, R"(player="PLAYER COMMANDER";)")},
      {WriteUnitAttributes, "PLAYABLE=true|player=TRUE", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Emit(c.emit, Args(c.arguments))) << c.arguments;
  }
}

}  // namespace
}  // namespace vexlar
