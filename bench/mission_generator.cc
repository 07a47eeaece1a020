#include "bench/mission_generator.h"

#include <initializer_list>
#include <utility>

namespace vexlar::bench {
namespace {

using Argument = std::pair<std::string_view, std::string>;

constexpr std::string_view kUnitClasses[] = {
    "Rifleman",  "Rifleman_Squad_Leader", "Sniper", "Medic", "Machinegunner", "AT_Soldier",
    "Insurgent", "Insurgent_MG",          "Crew",   "Pilot"};
constexpr std::string_view kVehicleClasses[] = {"Truck_Covered", "Jeep", "Helicopter_Light",
                                                "Tank_Medium",   "Boat", "Ambulance"};
constexpr std::string_view kCompositionTypes[] = {"checkpoint", "fuel_depot", "radar_site",
                                                  "field_hospital"};
constexpr std::string_view kSides[] = {"WEST", "EAST", "GUER"};
constexpr std::size_t kFirstCentre = 2;  // header numbers 2, 3 and 4

template <typename T, std::size_t N>
constexpr std::size_t CountOf(const T (&)[N]) {
  return N;
}

// One object: its header, objectType line and Arguments block.
void AppendObject(std::string_view keyword, std::size_t number,
                  std::initializer_list<Argument> arguments, std::string* out) {
  *out += "class _";
  *out += keyword;
  *out += '_';
  *out += std::to_string(number);
  *out += "\n{\n\tobjectType=\"";
  *out += keyword;
  *out += "\";\n\tclass Arguments\n\t{\n";
  for (const Argument& argument : arguments) {
    if (argument.first.empty()) continue;  // an optional argument left out
    *out += "\t\t";
    *out += argument.first;
    *out += "=\"";
    *out += argument.second;
    *out += "\";\n";
  }
  *out += "\t};\n};\n";
}

// An optional argument: present when `present`, else left out.
Argument Maybe(bool present, std::string_view name, std::string value) {
  return present ? Argument{name, std::move(value)} : Argument{};
}

}  // namespace

std::optional<MissionShape> MissionShapeFromName(std::string_view name) {
  if (name == "mixed") return MissionShape::kMixed;
  if (name == "groups") return MissionShape::kManyGroups;
  if (name == "compositions") return MissionShape::kManyCompositions;
  return std::nullopt;
}

MissionGenerator::MissionGenerator(const MissionRecipe& recipe)
    : recipe_(recipe),
      state_(recipe.seed * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(recipe.shape)) {}

// splitmix64: the same sequence everywhere, unlike the standard distributions.
std::uint64_t MissionGenerator::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t MissionGenerator::Below(std::uint64_t bound) { return Next() % bound; }

// A number below `max_whole` with none, one or two decimals ("2510.5").
std::string MissionGenerator::Decimal(std::uint64_t max_whole) {
  std::string text = std::to_string(Below(max_whole));
  switch (Below(3)) {
    case 1:
      text += '.';
      text += std::to_string(1 + Below(9));
      break;
    case 2:
      text += '.';
      text += std::to_string(10 + Below(90));
      break;
    default:
      break;
  }
  return text;
}

// "[x,y,height]"; a raised position has a height above 0. Some are written
// with blanks after the commas.
std::string MissionGenerator::Position(bool may_be_raised) {
  const std::string x = Decimal(20480);
  const std::string y = Decimal(20480);
  std::string height = "0";
  if (may_be_raised && OneIn(6)) {
    height = std::to_string(1 + Below(150));
    if (OneIn(2)) height += ".5";
  }
  const std::string_view comma = OneIn(10) ? ", " : ",";
  std::string text = "[" + x;
  text += comma;
  text += y;
  text += comma;
  text += height;
  text += ']';
  return text;
}

MissionGenerator::Kind MissionGenerator::NextBodyKind() {
  switch (recipe_.shape) {
    case MissionShape::kManyGroups:
      group_pending_ = !group_pending_;
      return group_pending_ ? Kind::kGroup : Kind::kUnit;
    case MissionShape::kManyCompositions:
      return Kind::kComposition;
    case MissionShape::kMixed:
      break;
  }
  for (;;) {
    if (units_left_ > 0) {
      --units_left_;
      return Kind::kUnit;
    }
    if (waypoints_left_ > 0) {
      --waypoints_left_;
      return Kind::kWaypoint;
    }
    if (block_groups_ < 10) {
      ++block_groups_;
      units_left_ = 6 + Below(5);
      waypoints_left_ = 3 + Below(3);
      return Kind::kGroup;
    }
    const std::size_t tail = block_tail_++;
    if (tail == 0) return Kind::kTrigger;
    if (tail <= 5) return Kind::kMarker;
    if (tail <= 10) return Kind::kVehicle;
    if (tail == 11) return Kind::kComposition;
    block_groups_ = 0;
    block_tail_ = 0;
  }
}

bool MissionGenerator::AppendNext(std::string* out) {
  if (written_ >= recipe_.objects) return false;
  const std::size_t start = out->size();
  if (written_ == 0) {
    *out += "version=12;\n// A generated mission: ";
    *out += std::to_string(recipe_.objects);
    *out += " objects, seed ";
    *out += std::to_string(recipe_.seed);
    *out += ".\n";
  }
  if (written_ + 1 == recipe_.objects) {
    AppendObject("postfix", written_, {}, out);
  } else if (written_ < kFixedObjects - 1) {
    AppendFixed(written_, out);
  } else {
    AppendBody(NextBodyKind(), out);
  }
  ++written_;
  if (recipe_.crlf) {
    std::string converted;
    converted.reserve((out->size() - start) * 2);
    for (std::size_t i = start; i < out->size(); ++i) {
      if ((*out)[i] == '\n') converted += '\r';
      converted += (*out)[i];
    }
    out->replace(start, std::string::npos, converted);
  }
  return true;
}

void MissionGenerator::AppendFixed(std::size_t index, std::string* out) {
  if (index == 0) {
    AppendObject("prefix", index, {}, out);
  } else if (index == 1) {
    AppendObject("intel", index,
                 {{"OVERCAST", "0." + std::to_string(Below(10))},
                  {"FOG", "0." + std::to_string(Below(10))},
                  {"OVERCAST_WANTED", "0.25"},
                  {"YEAR", "2009"},
                  {"MONTH", std::to_string(1 + Below(12))},
                  {"DAY", std::to_string(1 + Below(28))},
                  {"HOUR", std::to_string(Below(24))},
                  {"MINUTE", std::to_string(Below(60))}},
                 out);
  } else {
    AppendObject("center", index, {{"SIDE", std::string(kSides[index - kFirstCentre])}}, out);
  }
}

void MissionGenerator::AppendBody(Kind kind, std::string* out) {
  switch (kind) {
    case Kind::kGroup:
      last_group_ = written_;
      AppendObject("group", written_,
                   {{"CENTER", "_center_" + std::to_string(kFirstCentre + Below(3))}}, out);
      return;
    case Kind::kUnit:
      return AppendUnit(out);
    case Kind::kWaypoint:
      return AppendWaypoint(out);
    case Kind::kTrigger:
      return AppendTrigger(out);
    case Kind::kMarker:
      return AppendMarker(out);
    case Kind::kVehicle:
      return AppendVehicle(out);
    case Kind::kComposition:
      return AppendComposition(out);
  }
}

// The object writers draw from the random sequence only where the order of
// the draws is fixed, so that every compiler makes the same mission: at most
// one draw per element of a braced list (read left to right), never two
// among one call's arguments (whose order is unspecified).
void MissionGenerator::AppendUnit(std::string* out) {
  const std::string id = std::to_string(written_);
  // Now and then a unit written by hand, with names in mixed case.
  const bool mixed_case = OneIn(8);
  const bool leader = last_group_ + 1 == written_;
  const bool has_init = !OneIn(4);
  AppendObject(
      "unit", written_,
      {{"GROUP", "_group_" + std::to_string(last_group_)},
       {mixed_case ? "Name" : "NAME", "unit_" + id},
       {mixed_case ? "Type" : "TYPE", std::string(kUnitClasses[Below(CountOf(kUnitClasses))])},
       {mixed_case ? "Position" : "POSITION", Position(true)},
       {"AZIMUT", std::to_string(Below(360))},
       {"SKILL", "0." + std::to_string(2 + Below(8))},
       {"HEALTH", OneIn(4) ? "0.85" : "1"},
       {"AMMO", OneIn(5) ? "0.5" : "1"},
       {"LEADER", leader ? "true" : "false"},
       {"SPECIAL", OneIn(3) ? "NONE" : "FORM"},
       {"PLACEMENT", std::to_string(Below(20))},
       Maybe(has_init, "INIT",
             "this setDir " + std::to_string(Below(360)) +
                 "; this addWeapon \"\"Binocular\"\"; this setVariable [\"\"tag\"\", " + id + "];"),
       Maybe(OneIn(20), "PLAYABLE", "true"),
       Maybe(OneIn(500), "PLAYER", "true"),
       Maybe(OneIn(10), "PRESENCE_CONDITION", "random 1 > 0.5"),
       Maybe(OneIn(10), "LOCK", "LOCKED")},
      out);
}

void MissionGenerator::AppendWaypoint(std::string* out) {
  constexpr std::string_view kTypes[] = {"MOVE", "SAD", "GUARD", "HOLD", "CYCLE"};
  constexpr std::string_view kSpeeds[] = {"LIMITED", "NORMAL", "FULL"};
  constexpr std::string_view kFormations[] = {"WEDGE", "LINE", "COLUMN", "VEE"};
  const bool titled = OneIn(4);
  const bool has_timeouts[] = {OneIn(3), OneIn(3)};
  AppendObject("waypoint", written_,
               {{"GROUP", "_group_" + std::to_string(last_group_)},
                {"TYPE", std::string(kTypes[Below(CountOf(kTypes))])},
                {"POSITION", Position(false)},
                {"SPEED", std::string(kSpeeds[Below(CountOf(kSpeeds))])},
                {"FORMATION", std::string(kFormations[Below(CountOf(kFormations))])},
                {"COMBAT_MODE", OneIn(2) ? "YELLOW" : "RED"},
                {"DESCRIPTION", "Waypoint " + std::to_string(written_ - last_group_)},
                Maybe(OneIn(3), "EXP_COND", "alive unit_" + std::to_string(last_group_ + 1)),
                Maybe(has_timeouts[0], "TIMEOUT_MIN", std::to_string(Below(10))),
                Maybe(has_timeouts[1], "TIMEOUT_MAX", std::to_string(10 + Below(20))),
                {"SHOW", "ALWAYS"},
                Maybe(titled, "TITLE_EFFECT_TYPE", "TEXT"),
                Maybe(titled, "TITLE_EFFECT_TITLE", "Report to \"\"HQ\"\""),
                Maybe(OneIn(5), "SOUND_EFFECT", "radio_alpha")},
               out);
}

void MissionGenerator::AppendTrigger(std::string* out) {
  const std::string id = std::to_string(written_);
  AppendObject("trigger", written_,
               {{"POSITION", Position(false)},
                {"A", std::to_string(50 + Below(200))},
                {"B", std::to_string(50 + Below(200))},
                {"ANGLE", std::to_string(Below(360))},
                {"RECTANGULAR", OneIn(2) ? "true" : "false"},
                {"ACTIVATION_BY", std::string(kSides[Below(3)])},
                {"ACTIVATION_TYPE", OneIn(2) ? "PRESENT" : "NOT PRESENT"},
                {"REPEATING", OneIn(3) ? "true" : "false"},
                {"TIMEOUT_MIN", "1"},
                {"TIMEOUT_MID", "2"},
                {"TIMEOUT_MAX", "3"},
                {"NAME", "area_" + id},
                {"TEXT", "Area " + id},
                {"EXP_COND", "this"},
                {"EXP_ACTIV", "hint \"\"Area " + id + " is ours\"\";"},
                Maybe(OneIn(4), "AGE", "30 MIN"),
                Maybe(OneIn(3), "MUSIC_EFFECT", "victory_theme"),
                Maybe(OneIn(3), "VOICE_EFFECT", "hq_report"),
                Maybe(OneIn(5), "EXP_DEACTIV", "false")},
               out);
}

void MissionGenerator::AppendMarker(std::string* out) {
  constexpr std::string_view kIcons[] = {"mil_flag", "mil_dot", "mil_arrow", "mil_objective"};
  constexpr std::string_view kColors[] = {"ColorBlue", "ColorRed", "ColorGreen", "ColorBlack"};
  const std::string id = std::to_string(written_);
  const bool area = OneIn(3);
  const bool typed = !area && !OneIn(5);  // else the writer's default type line
  AppendObject("marker", written_,
               {{"NAME", "marker_" + id},
                Maybe(!area, "TEXT", "Point " + id),
                {"MARKER_TYPE", area ? (OneIn(2) ? "ELLIPSE" : "RECTANGLE") : "ICON"},
                Maybe(typed, "TYPE", std::string(kIcons[Below(CountOf(kIcons))])),
                {"COLOR", std::string(kColors[Below(CountOf(kColors))])},
                Maybe(area, "A", std::to_string(20 + Below(300))),
                Maybe(area, "B", std::to_string(20 + Below(300))),
                Maybe(area, "ANGLE", std::to_string(Below(360))),
                Maybe(area, "FILL", "Border"),
                {"POSITION", Position(false)}},
               out);
}

void MissionGenerator::AppendVehicle(std::string* out) {
  const std::string id = std::to_string(written_);
  const bool flying = OneIn(5);
  const bool has_init = flying || OneIn(4);
  AppendObject("vehicle", written_,
               {{"NAME", "vehicle_" + id},
                {"TYPE", std::string(kVehicleClasses[Below(CountOf(kVehicleClasses))])},
                {"POSITION", Position(!flying)},
                {"AZIMUT", std::to_string(Below(360))},
                {"FUEL", OneIn(3) ? "0.75" : "1"},
                {"LOCK", OneIn(2) ? "UNLOCKED" : "LOCKED"},
                {"HEALTH", "1"},
                Maybe(flying, "SPECIAL", "FLY"),
                Maybe(has_init, "INIT",
                      "this flyInHeight " + std::to_string(50 + Below(200)) +
                          "; this setVariable " + "[\"\"tag\"\", \"\"v" + id + "\"\"];")},
               out);
}

void MissionGenerator::AppendComposition(std::string* out) {
  // One in 25 names a type the configuration lacks: reported, not expanded.
  const std::string type = OneIn(25)
                               ? std::string("minefield")
                               : std::string(kCompositionTypes[Below(CountOf(kCompositionTypes))]);
  const bool turned = !OneIn(8);
  AppendObject("objectComposition", written_,
               {{"TYPE", type},
                {"POSITION", Position(false)},
                Maybe(turned, "ANGLE", std::to_string(Below(360)))},
               out);
}

std::string GenerateMission(const MissionRecipe& recipe) {
  std::string text;
  MissionGenerator generator(recipe);
  while (generator.AppendNext(&text)) {
  }
  return text;
}

}  // namespace vexlar::bench
