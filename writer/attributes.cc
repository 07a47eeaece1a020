#include "writer/attributes.h"

#include <string_view>

#include "writer/position.h"

namespace vexlar {
namespace {

// How a row turns an argument's value into a line.
enum class Rule {
  kValue,       // `line` with the value in place of "%s"
  kPosition,    // `line` with the position fields first, third, second
  kTruth,       // `line` when the value is "true", else `otherwise`
  kIfTrue,      // `line` when the value is "true", else nothing
  kIfTrueSole,  // `line` when the value is "true" and no argument is named PLAYER
};

struct Row {
  std::string_view key;  // lower case; names match it in any letter case
  Rule rule;
  std::string_view line;  // without its indentation
  std::string_view otherwise = {};
};

// A table and the indentation of its lines.
struct Table {
  const Row* rows;
  std::size_t size;
  std::string_view indent;
};

template <std::size_t N>
constexpr Table MakeTable(const Row (&rows)[N], std::string_view indent) {
  return {rows, N, indent};
}

// Only these four lower-case letters are true; values are never folded.
bool IsTrue(std::string_view value) { return value == "true"; }

void WriteRow(const Row& row, std::string_view value, const std::vector<ObjectArgument>& arguments,
              std::string_view indent, TextWriter& out) {
  std::string_view line = row.line;
  switch (row.rule) {
    case Rule::kValue:
      out.Write(indent);
      out.WriteFormat(line, {value});
      return;
    case Rule::kPosition: {
      const PositionFields fields = SplitPosition(value);
      out.Write(indent);
      out.WriteFormat(line, {fields.first, fields.third, fields.second});
      return;
    }
    case Rule::kTruth:
      if (!IsTrue(value)) line = row.otherwise;
      break;
    case Rule::kIfTrue:
      if (!IsTrue(value)) return;
      break;
    case Rule::kIfTrueSole:
      if (!IsTrue(value) || FindPlayerArgument(arguments)) return;
      break;
  }
  out.Write(indent);
  out.Write(line);
}

// The walk shared by all emitters: every argument in list order against
// every row of the table; each matching row writes its line.
void WalkArguments(const std::vector<ObjectArgument>& arguments, const Table& table,
                   TextWriter& out) {
  for (const ObjectArgument& argument : arguments) {
    for (std::size_t i = 0; i < table.size; ++i) {
      const Row& row = table.rows[i];
      if (NameEquals(argument.name, row.key)) {
        WriteRow(row, argument.value, arguments, table.indent, out);
      }
    }
  }
}

constexpr std::string_view kThreeTabs = "\t\t\t";
constexpr std::string_view kFiveTabs = "\t\t\t\t\t";

constexpr Row kMarkerRows[] = {
    {"a", Rule::kValue, "a=%s;\n"},
    {"b", Rule::kValue, "b=%s;\n"},
    {"angle", Rule::kValue, "angle=%s;\n"},
    {"text", Rule::kValue, "text=\"%s\";\n"},
    {"name", Rule::kValue, "name=\"%s\";\n"},
    {"marker_type", Rule::kValue, "markerType=\"%s\";\n"},
    {"type", Rule::kValue, "type=\"%s\";\n"},
    {"color", Rule::kValue, "colorName=\"%s\";\n"},
    {"fill", Rule::kValue, "fillName=\"%s\";\n"},
    {"position", Rule::kPosition, "position[]={%s,%s,%s};\n"},
};

constexpr Row kVehicleRows[] = {
    {"presence_condition", Rule::kValue, "presenceCondition=\"%s\";\n"},
    {"lock", Rule::kValue, "lock=\"%s\";\n"},
    {"type", Rule::kValue, "vehicle=\"%s\";\n"},
    {"placement", Rule::kValue, "placement=%s;\n"},
    {"special", Rule::kValue, "special=\"%s\";\n"},
    {"age", Rule::kValue, "age=\"%s\";\n"},
    {"azimut", Rule::kValue, "azimut=%s;\n"},
    {"init", Rule::kValue, "init=\"%s\";\n"},
    {"name", Rule::kValue, "text=\"%s\";\n"},
    {"fuel", Rule::kValue, "fuel=%s;\n"},
    {"health", Rule::kValue, "health=%s;\n"},
    {"ammo", Rule::kValue, "ammo=%s;\n"},
    {"position", Rule::kPosition, "position[]={%s,%s,%s};\n"},
};

constexpr Row kUnitRows[] = {
    {"presence_condition", Rule::kValue, "presenceCondition=\"%s\";\n"},
    {"lock", Rule::kValue, "lock=\"%s\";\n"},
    {"playable", Rule::kIfTrueSole, "player=\"PLAY CDG\";\n"},
    {"type", Rule::kValue, "vehicle=\"%s\";\n"},
    {"placement", Rule::kValue, "placement=%s;\n"},
    {"special", Rule::kValue, "special=\"%s\";\n"},
    {"age", Rule::kValue, "age=\"%s\";\n"},
    {"azimut", Rule::kValue, "azimut=%s;\n"},
    {"player", Rule::kIfTrue, "player=\"PLAYER COMMANDER\";\n"},
    {"leader", Rule::kTruth, "leader=1;\n", "leader=0;\n"},
    {"init", Rule::kValue, "init=\"%s\";\n"},
    {"name", Rule::kValue, "text=\"%s\";\n"},
    {"skill", Rule::kValue, "skill=%s;\n"},
    {"health", Rule::kValue, "health=%s;\n"},
    {"ammo", Rule::kValue, "ammo=%s;\n"},
    {"position", Rule::kPosition, "position[]={%s,%s,%s};\n"},
};

constexpr Row kSensorRows[] = {
    {"a", Rule::kValue, "a=%s;\n"},
    {"b", Rule::kValue, "b=%s;\n"},
    {"rectangular", Rule::kTruth, "rectangular=1;\n", "rectangular=0;\n"},
    {"angle", Rule::kValue, "angle=%s;\n"},
    {"activation_by", Rule::kValue, "activationBy=\"%s\";\n"},
    {"activation_type", Rule::kValue, "activationType=\"%s\";\n"},
    {"repeating", Rule::kTruth, "repeating=1;\n", "repeating=0;\n"},
    {"timeout_min", Rule::kValue, "timeoutMin=%s;\n"},
    {"timeout_mid", Rule::kValue, "timeoutMid=%s;\n"},
    {"timeout_max", Rule::kValue, "timeoutMax=%s;\n"},
    {"age", Rule::kValue, "age=\"%s\";\n"},
    {"text", Rule::kValue, "text=\"%s\";\n"},
    {"name", Rule::kValue, "name=\"%s\";\n"},
    {"exp_cond", Rule::kValue, "expCond=\"%s\";\n"},
    {"exp_activ", Rule::kValue, "expActiv=\"%s\";\n"},
    {"exp_deactiv", Rule::kValue, "expDeactiv=\"%s\";\n"},
    {"position", Rule::kPosition, "position[]={%s,%s,%s};\n"},
};

constexpr Row kWaypointRows[] = {
    {"type", Rule::kValue, "type=\"%s\";\n"},
    {"combat_mode", Rule::kValue, "combatMode=\"%s\";\n"},
    {"formation", Rule::kValue, "formation=\"%s\";\n"},
    {"speed", Rule::kValue, "speed=\"%s\";\n"},
    {"combat", Rule::kValue, "combat=\"%s\";\n"},
    {"description", Rule::kValue, "description=\"%s\";\n"},
    {"exp_cond", Rule::kValue, "expCond=\"%s\";\n"},
    {"exp_activ", Rule::kValue, "expActiv=\"%s\";\n"},
    {"script", Rule::kValue, "script=\"%s\";\n"},
    {"timeout_min", Rule::kValue, "timeoutMin=%s;\n"},
    {"timeout_mid", Rule::kValue, "timeoutMid=%s;\n"},
    {"timeout_max", Rule::kValue, "timeoutMax=%s;\n"},
    {"show", Rule::kValue, "showWP=\"%s\";\n"},
    {"placement", Rule::kValue, "placement=%s;\n"},
    {"position", Rule::kPosition, "position[]={%s,%s,%s};\n"},
};

// Sensors and waypoints share the effect rows; only the indentation differs.
constexpr Row kEffectRows[] = {
    {"effect_condition", Rule::kValue, "condition=\"%s\";\n"},
    {"sound_effect", Rule::kValue, "sound=\"%s\";\n"},
    {"voice_effect", Rule::kValue, "voice=\"%s\";\n"},
    {"sound_env_effect", Rule::kValue, "soundEnv=\"%s\";\n"},
    {"sound_det_effect", Rule::kValue, "soundDet=\"%s\";\n"},
    {"music_effect", Rule::kValue, "track=\"%s\";\n"},
    {"title_effect_type", Rule::kValue, "titleType=\"%s\";\n"},
    {"title_effect_effect", Rule::kValue, "titleEffect=\"%s\";\n"},
    {"title_effect_title", Rule::kValue, "title=\"%s\";\n"},
};

// The Effects class: opened at `class_indent`, closed there, its lines one
// tab deeper. Written for every sensor and waypoint, empty or not.
void WriteEffects(const std::vector<ObjectArgument>& arguments, std::string_view class_indent,
                  std::string_view line_indent, TextWriter& out) {
  out.WriteFormat("%sclass Effects\n%s{\n", {class_indent, class_indent});
  WalkArguments(arguments, MakeTable(kEffectRows, line_indent), out);
  out.WriteFormat("%s};\n", {class_indent});
}

}  // namespace

void WriteMarkerAttributes(const std::vector<ObjectArgument>& arguments, TextWriter& out) {
  WalkArguments(arguments, MakeTable(kMarkerRows, kThreeTabs), out);
}

void WriteVehicleAttributes(const std::vector<ObjectArgument>& arguments, TextWriter& out) {
  WalkArguments(arguments, MakeTable(kVehicleRows, kThreeTabs), out);
}

void WriteUnitAttributes(const std::vector<ObjectArgument>& arguments, TextWriter& out) {
  WalkArguments(arguments, MakeTable(kUnitRows, kFiveTabs), out);
}

void WriteSensorAttributes(const std::vector<ObjectArgument>& arguments, TextWriter& out) {
  WalkArguments(arguments, MakeTable(kSensorRows, kThreeTabs), out);
  WriteEffects(arguments, kThreeTabs, "\t\t\t\t", out);
}

void WriteWaypointAttributes(const std::vector<ObjectArgument>& arguments, TextWriter& out) {
  WalkArguments(arguments, MakeTable(kWaypointRows, kFiveTabs), out);
  WriteEffects(arguments, kFiveTabs, "\t\t\t\t\t\t", out);
}

}  // namespace vexlar
