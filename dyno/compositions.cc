#include "dyno/compositions.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dyno/number_text.h"
#include "dyno/script_lookup.h"
#include "platform/platform.h"
#include "text/ascii.h"
#include "text/decimal.h"
#include "text/position.h"

namespace vexlar {
namespace {

// A script as read once for the run: its entries, whose class names view
// into the script text kept by the store.
struct LoadedScript {
  bool readable = false;
  std::vector<ScriptEntry> entries;
};

// Tells `findings` about one composition, at its header or at its argument
// `key` when it has one.
template <typename MakeMessage>
void Report(Findings* findings, const char* kind, const SourceObject& composition,
            std::string_view key, MakeMessage&& message) {
  if (findings == nullptr) return;
  const ArgumentList arguments = composition.arguments();
  const std::optional<std::size_t> at =
      key.empty() ? std::nullopt : FindArgumentIndex(arguments, key);
  findings->Report(
      kind, at ? findings->InSource(arguments[*at].name) : findings->AtHeader(composition.name()),
      composition.id, std::forward<MakeMessage>(message));
}

// ParseDecimal(text), telling `findings` when the composition's `what` is no
// number.
double Number(Findings* findings, const SourceObject& composition, std::string_view key,
              std::string_view what, std::string_view text) {
  if (findings != nullptr && IsNotANumber(text)) {
    Report(findings, "not-a-number", composition, key, [&] {
      return "the " + std::string(what) + " \"" + std::string(text) +
             "\" is no number; it counts as 0";
    });
  }
  return ParseDecimal(text);
}

int Length(std::string_view text) { return static_cast<int>(text.size()); }

void AppendVehicle(const ScriptEntry& entry, double cx, double cy, double angle, ObjectStore* store,
                   RunLog* log) {
  SourceObject vehicle = store->NewSourceObject();
  vehicle.SetName("vehicle");
  vehicle.nameNumber = 0;
  vehicle.type = ObjectType::kVehicle;

  const VehicleTexts texts = PlaceEntry(cx, cy, angle, entry);
  const std::string_view position = store->KeepText(texts.position);
  const std::string_view azimut = store->KeepText(texts.azimut);
  const std::string_view fuel = store->KeepText(texts.fuel);
  const std::string_view health = store->KeepText(texts.health);

  log->Format("DynO object class: %.*s\n", Length(entry.class_name), entry.class_name.data());
  log->Format("DynO object position: [%f,%f,%f]\n", entry.dx, entry.dy, entry.dz);
  log->Format("DynO object angle: %.*s\n", Length(azimut), azimut.data());

  store->AppendArgument(vehicle, {"POSITION", position});
  store->AppendArgument(vehicle, {"TYPE", entry.class_name});
  store->AppendArgument(vehicle, {"AZIMUT", azimut});
  store->AppendArgument(vehicle, {"FUEL", fuel});
  store->AppendArgument(vehicle, {"HEALTH", health});
  store->AppendToList(vehicle);
}

}  // namespace

VehicleTexts PlaceEntry(double cx, double cy, double angle, const ScriptEntry& entry) {
  const double turn = angle * kTurnFactor;
  const double cosine = std::cos(turn);
  const double sine = std::sin(turn);
  const double x = cx + entry.dx * cosine + entry.dy * sine;
  const double y = cy + entry.dy * cosine - entry.dx * sine;
  VehicleTexts texts;
  texts.position = "[" + FormatNumberText(x) + "," + FormatNumberText(y) + "," +
                   FormatNumberText(entry.dz) + "]";
  texts.azimut = FormatNumberText(entry.direction + angle);
  texts.fuel = FormatNumberText(entry.fuel);
  texts.health = FormatNumberText(1 - entry.damage);
  return texts;
}

namespace {

bool IsCompositionArgument(std::string_view name) {
  return EqualsIgnoringCase(name, "TYPE") || EqualsIgnoringCase(name, "ANGLE") ||
         EqualsIgnoringCase(name, "POSITION");
}

}  // namespace

void ExpandCompositions(const std::string& data_directory, ObjectStore* store, RunLog* log,
                        Findings* findings) {
  // The vehicles made are never compositions, so the set is known up front.
  std::vector<const SourceObject*> compositions;
  VisitedIds visited;
  while (const SourceObject* composition =
             store->NextObjectOfType(ObjectType::kObjectComposition, &visited)) {
    compositions.push_back(composition);
  }
  if (compositions.empty()) return;

  const std::string config_path = data_directory + "DynO.cpp";
  platform::FileBytes config_bytes;
  const bool config_read = platform::ReadWholeFile(config_path, &config_bytes);
  const std::string_view config = config_bytes.view();
  std::vector<std::string_view> types;
  if (config_read) {
    for (const SourceObject* composition : compositions) {
      if (std::optional<std::string_view> type = FindArgumentValue(*composition, "TYPE")) {
        types.push_back(*type);
      }
    }
  }
  const ScriptNameFinder finder(config, types);
  std::unordered_map<std::string, LoadedScript> scripts;  // by file name

  for (const SourceObject* composition : compositions) {
    if (findings != nullptr) {
      for (const ObjectArgument& argument : composition->arguments()) {
        if (IsCompositionArgument(argument.name)) continue;
        findings->Report(
            "unknown-argument", findings->InSource(argument.name), composition->id,
            [&] { return std::string(argument.name) + " is not read for an objectComposition"; });
      }
    }
    log->Format("DynO config file: %s\n", config_path.c_str());
    if (!config_read) {
      log->Format("Cannot open DynO config file!\nPath: %s\n", config_path.c_str());
      Report(findings, "composition", *composition, {},
             [&] { return config_path + " cannot be read; the composition gets no vehicles"; });
      continue;
    }
    const std::optional<std::string_view> type = FindArgumentValue(*composition, "TYPE");
    const std::optional<std::string_view> name = type ? finder.Find(*type) : std::nullopt;
    if (!name) {
      const std::string_view shown = type.value_or("");
      log->Format("Cannot find DynO script!\nType: %.*s\n", Length(shown), shown.data());
      Report(findings, "composition", *composition, "TYPE", [&] {
        if (!type) return std::string("the composition has no TYPE; it gets no vehicles");
        return "TYPE \"" + std::string(*type) +
               "\" has no script in DynO.cpp; the composition gets no vehicles";
      });
      continue;
    }
    log->Format("DynO script name: %.*s\n", Length(*name), name->data());

    const std::string script_path =
        data_directory + "DynO" + platform::kSeparator + std::string(*name);
    const auto [slot, is_new] = scripts.try_emplace(std::string(*name));
    LoadedScript& script = slot->second;
    if (is_new) {
      platform::FileBytes bytes;
      script.readable = platform::ReadWholeFile(script_path, &bytes);
      if (script.readable) {
        const std::string_view text = store->KeepFile(std::move(bytes));
        std::vector<ScriptProblem> problems;
        script.entries = ScanScript(text, findings != nullptr ? &problems : nullptr);
        // Told once, with the first composition that uses the script.
        const std::string_view path = problems.empty() ? "" : store->KeepText(script_path);
        for (ScriptProblem& problem : problems) {
          findings->Report(problem.kind, {path, text, problem.offset}, composition->id,
                           [&] { return std::move(problem.message); });
        }
      }
    }
    if (!script.readable) {
      log->Format("Cannot open script file!\nPath: %s\n", script_path.c_str());
      Report(findings, "composition", *composition, "TYPE", [&] {
        return "the script " + script_path + " cannot be read; the composition gets no vehicles";
      });
      continue;
    }

    const std::optional<std::string_view> angle_text = FindArgumentValue(*composition, "ANGLE");
    const double angle =
        angle_text ? Number(findings, *composition, "ANGLE", "ANGLE", *angle_text) : 0;
    TextFields position;
    SplitFields(FindArgumentValue(*composition, "POSITION").value_or(""),
                BracketEnds::kInThirdField, std::string_view::npos, &position);
    const Vec3 center{
        Number(findings, *composition, "POSITION", "x of POSITION", position.field[0]),
        Number(findings, *composition, "POSITION", "y of POSITION", position.field[1])};
    for (const ScriptEntry& entry : script.entries) {
      AppendVehicle(entry, center.x, center.y, angle, store, log);
    }
  }
}

}  // namespace vexlar
