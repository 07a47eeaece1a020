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

int Length(std::string_view text) { return static_cast<int>(text.size()); }

void AppendVehicle(const ScriptEntry& entry, double cx, double cy, double angle, ObjectStore* store,
                   RunLog* log) {
  SourceObject vehicle = store->NewSourceObject();
  vehicle.name = "vehicle";
  vehicle.nameNumber = 0;
  vehicle.type = ObjectType::kVehicle;

  const VehicleTexts texts = PlaceEntry(cx, cy, angle, entry);
  // One kept text per vehicle, cut into its four values.
  const std::string_view kept =
      store->KeepText(texts.position + texts.azimut + texts.fuel + texts.health);
  std::string_view rest = kept;
  const auto take = [&rest](std::size_t size) {
    const std::string_view part = rest.substr(0, size);
    rest.remove_prefix(size);
    return part;
  };
  const std::string_view position = take(texts.position.size());
  const std::string_view azimut = take(texts.azimut.size());
  const std::string_view fuel = take(texts.fuel.size());
  const std::string_view health = rest;

  log->Format("DynO object class: %.*s\n", Length(entry.class_name), entry.class_name.data());
  log->Format("DynO object position: [%f,%f,%f]\n", entry.dx, entry.dy, entry.dz);
  log->Format("DynO object angle: %.*s\n", Length(azimut), azimut.data());

  AppendArgument(vehicle, {"POSITION", position});
  AppendArgument(vehicle, {"TYPE", entry.class_name});
  AppendArgument(vehicle, {"AZIMUT", azimut});
  AppendArgument(vehicle, {"FUEL", fuel});
  AppendArgument(vehicle, {"HEALTH", health});
  store->AppendToList(std::move(vehicle));
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

void ExpandCompositions(const std::string& data_directory, ObjectStore* store, RunLog* log) {
  // The vehicles made are never compositions, so the set is known up front.
  std::vector<const SourceObject*> compositions;
  VisitedIds visited;
  while (const SourceObject* composition =
             store->NextObjectOfType(ObjectType::kObjectComposition, &visited)) {
    compositions.push_back(composition);
  }
  if (compositions.empty()) return;

  const std::string config_path = data_directory + "DynO.cpp";
  std::string config;
  const bool config_read = platform::ReadWholeFile(config_path, &config);
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
    log->Format("DynO config file: %s\n", config_path.c_str());
    if (!config_read) {
      log->Format("Cannot open DynO config file!\nPath: %s\n", config_path.c_str());
      continue;
    }
    const std::optional<std::string_view> type = FindArgumentValue(*composition, "TYPE");
    const std::optional<std::string_view> name = type ? finder.Find(*type) : std::nullopt;
    if (!name) {
      const std::string_view shown = type.value_or("");
      log->Format("Cannot find DynO script!\nType: %.*s\n", Length(shown), shown.data());
      continue;
    }
    log->Format("DynO script name: %.*s\n", Length(*name), name->data());

    const std::string script_path =
        data_directory + "DynO" + platform::kSeparator + std::string(*name);
    const auto [slot, is_new] = scripts.try_emplace(std::string(*name));
    LoadedScript& script = slot->second;
    if (is_new) {
      std::string bytes;
      script.readable = platform::ReadWholeFile(script_path, &bytes);
      if (script.readable) script.entries = ScanScript(store->KeepText(std::move(bytes)));
    }
    if (!script.readable) {
      log->Format("Cannot open script file!\nPath: %s\n", script_path.c_str());
      continue;
    }

    const std::optional<std::string_view> angle_text = FindArgumentValue(*composition, "ANGLE");
    const double angle = angle_text ? ParseDecimal(*angle_text) : 0;
    const Vec3 center = ParsePosition(FindArgumentValue(*composition, "POSITION").value_or(""));
    for (const ScriptEntry& entry : script.entries) {
      AppendVehicle(entry, center.x, center.y, angle, store, log);
    }
  }
}

}  // namespace vexlar
