#include "writer/attributes.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "text/ascii.h"
#include "text/position.h"

namespace vexlar {
namespace {

// How a row turns an argument's value into a line.
enum class Rule {
  kValue,       // `line` with the value in place of "%s"
  kPosition,    // `line` with the position fields first, third, second
  kTruth,       // `line` when the value is "true", else `otherwise`
  kIfTrue,      // `line` when the value is "true", else nothing
  kIfTrueSole,  // `line` when the value is "true" and no argument is named PLAYER
  kNoLine,      // nothing: the argument shapes the item in another way
};

struct Row {
  constexpr Row(std::string_view key, Rule rule, std::string_view line,
                std::string_view otherwise = {})
      : key(key), rule(rule), line(line), otherwise(otherwise), value_at(line.find("%s")) {}

  std::string_view key;  // lower case; names match it in any letter case
  Rule rule;
  std::string_view line;  // without its indentation
  std::string_view otherwise;
  std::size_t value_at;  // where "%s" stands in `line`, for kValue
};

// The rows of a table by the length of their keys, so that a name is
// compared only with the keys of its own length. Worth 3 to 7% of the CPU
// time on the 1M mixed benchmark mission against a scan of every row
// (Release binaries run in turn, medians of 11 to 15 runs each).
constexpr std::size_t kLongestKey = 19;
constexpr std::size_t kMostKeysOfALength = 6;
constexpr std::uint8_t kNoRow = 0xFF;
struct RowsByLength {
  // For each length, the row numbers in table order, ended by kNoRow.
  std::uint8_t rows[kLongestKey + 1][kMostKeysOfALength + 1];
};

constexpr RowsByLength IndexRows(const Row* rows, std::size_t count) {
  RowsByLength index{};
  for (auto& bucket : index.rows) {
    for (auto& row : bucket) row = kNoRow;
  }
  for (std::size_t r = 0; r < count; ++r) {
    std::uint8_t* bucket = index.rows[rows[r].key.size()];
    std::size_t k = 0;
    while (bucket[k] != kNoRow) ++k;
    bucket[k] = static_cast<std::uint8_t>(r);
  }
  return index;
}

// True when every key fits the index and no two keys are equal, so that a
// name matches one row at most, and every kValue line has its "%s".
constexpr bool FitsIndex(const Row* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (rows[i].key.size() > kLongestKey) return false;
    if (rows[i].rule == Rule::kValue && rows[i].value_at == std::string_view::npos) return false;
    std::size_t same_length = 0;
    for (std::size_t j = 0; j < count; ++j) {
      if (j != i && rows[i].key == rows[j].key) return false;
      if (rows[i].key.size() == rows[j].key.size()) ++same_length;
    }
    if (same_length > kMostKeysOfALength) return false;
  }
  return true;
}

// A table and the indentation of its lines.
struct Table {
  const Row* rows;
  const RowsByLength& by_length;
  std::string_view indent;
};

// Only these four lower-case letters are true; values are never folded.
bool IsTrue(std::string_view value) { return value == "true"; }

void WriteRow(const Row& row, std::string_view value, const ArgumentList& arguments,
              std::string_view indent, TextWriter& out) {
  std::string_view line = row.line;
  switch (row.rule) {
    case Rule::kValue:
      out.Write(indent);
      out.Write(line.substr(0, row.value_at));
      out.Write(value);
      out.Write(line.substr(row.value_at + 2));
      return;
    case Rule::kPosition: {
      TextFields fields;
      SplitPosition(value, &fields);
      out.Write(indent);
      out.WriteFormat(line, {fields.field[0], fields.field[2], fields.field[1]});
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
    case Rule::kNoLine:
      return;
  }
  out.Write(indent);
  out.Write(line);
}

bool InTable(const Table& table, std::string_view name) {
  if (name.size() > kLongestKey) return false;
  for (const std::uint8_t* r = table.by_length.rows[name.size()]; *r != kNoRow; ++r) {
    if (EqualsLowerKey(name, table.rows[*r].key)) return true;
  }
  return false;
}

// Where a walk tells of the arguments that no row writes: the object and
// a second table whose names the object also uses (its effects), if any.
struct Unwritten {
  Findings* findings;
  const SourceObject* object;
  const Table* also;
};

// The walk shared by all emitters: every argument in list order against
// the rows of the table; the row whose key the name equals (in any letter
// case) writes its line. Keys differ, so one row matches at most.
void WalkArguments(const ArgumentList& arguments, const Table& table, TextWriter& out,
                   const Unwritten* unwritten = nullptr) {
  for (const ObjectArgument argument : arguments) {
    const std::uint8_t* r =
        argument.name.size() <= kLongestKey ? table.by_length.rows[argument.name.size()] : &kNoRow;
    for (; *r != kNoRow; ++r) {
      const Row& row = table.rows[*r];
      if (EqualsLowerKey(argument.name, row.key)) {
        WriteRow(row, argument.value, arguments, table.indent, out);
        break;
      }
    }
    if (*r != kNoRow || unwritten == nullptr || unwritten->findings == nullptr) continue;
    if (unwritten->also != nullptr && InTable(*unwritten->also, argument.name)) continue;
    ReportUnwrittenArgument(*unwritten->object, argument, unwritten->findings);
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
    {"group", Rule::kNoLine, ""},  // places the unit in its group
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
    {"group", Rule::kNoLine, ""},  // places the waypoint in its group
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

static_assert(FitsIndex(kMarkerRows, std::size(kMarkerRows)) &&
                  FitsIndex(kVehicleRows, std::size(kVehicleRows)) &&
                  FitsIndex(kUnitRows, std::size(kUnitRows)) &&
                  FitsIndex(kSensorRows, std::size(kSensorRows)) &&
                  FitsIndex(kWaypointRows, std::size(kWaypointRows)) &&
                  FitsIndex(kEffectRows, std::size(kEffectRows)),
              "keys fit RowsByLength and differ; value lines hold %s");
constexpr RowsByLength kMarkerIndex = IndexRows(kMarkerRows, std::size(kMarkerRows));
constexpr RowsByLength kVehicleIndex = IndexRows(kVehicleRows, std::size(kVehicleRows));
constexpr RowsByLength kUnitIndex = IndexRows(kUnitRows, std::size(kUnitRows));
constexpr RowsByLength kSensorIndex = IndexRows(kSensorRows, std::size(kSensorRows));
constexpr RowsByLength kWaypointIndex = IndexRows(kWaypointRows, std::size(kWaypointRows));
constexpr RowsByLength kEffectIndex = IndexRows(kEffectRows, std::size(kEffectRows));

// The Effects class: opened at `class_indent`, closed there, its lines at
// the indentation of `effects`, one tab deeper. Written for every sensor and waypoint, empty or
// not.
void WriteEffects(const ArgumentList& arguments, std::string_view class_indent,
                  const Table& effects, TextWriter& out) {
  out.WriteFormat("%sclass Effects\n%s{\n", {class_indent, class_indent});
  WalkArguments(arguments, effects, out);
  out.WriteFormat("%s};\n", {class_indent});
}

}  // namespace

void ReportUnwrittenArgument(const SourceObject& object, const ObjectArgument& argument,
                             Findings* findings) {
  if (findings == nullptr) return;
  findings->Report("unknown-argument", findings->InSource(argument.name), object.id, [&] {
    return std::string(argument.name) + " is not written for " + ObjectTypePhrase(object.type);
  });
}

void ReportUnwrittenArguments(const SourceObject& object, Findings* findings,
                              bool (*uses)(std::string_view name)) {
  if (findings == nullptr) return;
  for (const ObjectArgument argument : object.arguments()) {
    if (!uses(argument.name)) ReportUnwrittenArgument(object, argument, findings);
  }
}

void WriteMarkerAttributes(const SourceObject& marker, TextWriter& out, Findings* findings) {
  const Unwritten unwritten{findings, &marker, nullptr};
  WalkArguments(marker.arguments(), {kMarkerRows, kMarkerIndex, kThreeTabs}, out, &unwritten);
}

void WriteVehicleAttributes(const SourceObject& vehicle, TextWriter& out, Findings* findings) {
  const Unwritten unwritten{findings, &vehicle, nullptr};
  WalkArguments(vehicle.arguments(), {kVehicleRows, kVehicleIndex, kThreeTabs}, out, &unwritten);
}

void WriteUnitAttributes(const SourceObject& unit, TextWriter& out, Findings* findings) {
  const Unwritten unwritten{findings, &unit, nullptr};
  WalkArguments(unit.arguments(), {kUnitRows, kUnitIndex, kFiveTabs}, out, &unwritten);
}

void WriteSensorAttributes(const SourceObject& trigger, TextWriter& out, Findings* findings) {
  const Table effects{kEffectRows, kEffectIndex, "\t\t\t\t"};
  const Unwritten unwritten{findings, &trigger, &effects};
  WalkArguments(trigger.arguments(), {kSensorRows, kSensorIndex, kThreeTabs}, out, &unwritten);
  WriteEffects(trigger.arguments(), kThreeTabs, effects, out);
}

void WriteWaypointAttributes(const SourceObject& waypoint, TextWriter& out, Findings* findings) {
  const Table effects{kEffectRows, kEffectIndex, "\t\t\t\t\t\t"};
  const Unwritten unwritten{findings, &waypoint, &effects};
  WalkArguments(waypoint.arguments(), {kWaypointRows, kWaypointIndex, kFiveTabs}, out, &unwritten);
  WriteEffects(waypoint.arguments(), kFiveTabs, effects, out);
}

}  // namespace vexlar
