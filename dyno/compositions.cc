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

// The TYPE values of `compositions`, for one search of DynO.cpp; none when
// it was not read.
std::vector<std::string_view> TypesOf(const std::vector<const SourceObject*>& compositions,
                                      bool config_read) {
  std::vector<std::string_view> types;
  if (!config_read) return types;
  for (const SourceObject* composition : compositions) {
    if (std::optional<std::string_view> type = FindArgumentValue(*composition, "TYPE")) {
      types.push_back(*type);
    }
  }
  return types;
}

// The expansion of one run: DynO.cpp and every script are read once and
// kept for the compositions that follow.
class Expander {
 public:
  // REQUIRES: `compositions` are all the compositions to be expanded.
  Expander(const std::string& data_directory, const std::vector<const SourceObject*>& compositions,
           ObjectStore* store, RunLog* log, Findings* findings,
           std::vector<std::string>* files_read)
      : data_directory_(data_directory),
        config_path_(data_directory + "DynO.cpp"),
        config_read_(platform::ReadWholeFile(config_path_, &config_bytes_)),
        finder_(config_bytes_.view(), TypesOf(compositions, config_read_)),
        store_(store),
        log_(log),
        findings_(findings),
        files_read_(files_read) {
    if (files_read_ != nullptr) files_read_->push_back(config_path_);
  }

  // Appends the vehicles of `composition`, or logs why it gets none.
  void Expand(const SourceObject& composition) {
    ReportUnreadArguments(composition);
    log_->Format("DynO config file: %s\n", config_path_.c_str());
    if (!config_read_) {
      log_->Format("Cannot open DynO config file!\nPath: %s\n", config_path_.c_str());
      Report(findings_, "composition", composition, {},
             [&] { return config_path_ + " cannot be read; the composition gets no vehicles"; });
      return;
    }
    const std::optional<std::string_view> name = ScriptName(composition);
    if (!name) return;
    log_->Format("DynO script name: %.*s\n", Length(*name), name->data());
    const std::string script_path =
        data_directory_ + "DynO" + platform::kSeparator + std::string(*name);
    const LoadedScript& script = Script(*name, script_path, composition);
    if (!script.readable) {
      log_->Format("Cannot open script file!\nPath: %s\n", script_path.c_str());
      Report(findings_, "composition", composition, "TYPE", [&] {
        return "the script " + script_path + " cannot be read; the composition gets no vehicles";
      });
      return;
    }
    AppendVehicles(composition, script);
  }

 private:
  void ReportUnreadArguments(const SourceObject& composition) {
    if (findings_ == nullptr) return;
    for (const ObjectArgument& argument : composition.arguments()) {
      if (IsCompositionArgument(argument.name)) continue;
      findings_->Report(
          "unknown-argument", findings_->InSource(argument.name), composition.id,
          [&] { return std::string(argument.name) + " is not read for an objectComposition"; });
    }
  }

  // The script file name that DynO.cpp gives the composition's TYPE; none,
  // after logging why, when it has no TYPE or DynO.cpp no script for it.
  std::optional<std::string_view> ScriptName(const SourceObject& composition) {
    const std::optional<std::string_view> type = FindArgumentValue(composition, "TYPE");
    const std::optional<std::string_view> name = type ? finder_.Find(*type) : std::nullopt;
    if (name) return name;
    const std::string_view shown = type.value_or("");
    log_->Format("Cannot find DynO script!\nType: %.*s\n", Length(shown), shown.data());
    Report(findings_, "composition", composition, "TYPE", [&] {
      if (!type) return std::string("the composition has no TYPE; it gets no vehicles");
      return "TYPE \"" + std::string(*type) +
             "\" has no script in DynO.cpp; the composition gets no vehicles";
    });
    return std::nullopt;
  }

  // The script `name` at `script_path`, read and scanned the first time a
  // composition asks for it; its problems are told with that composition.
  const LoadedScript& Script(std::string_view name, const std::string& script_path,
                             const SourceObject& composition) {
    const auto [slot, is_new] = scripts_.try_emplace(std::string(name));
    LoadedScript& script = slot->second;
    if (!is_new) return script;
    if (files_read_ != nullptr) files_read_->push_back(script_path);
    platform::FileBytes bytes;
    script.readable = platform::ReadWholeFile(script_path, &bytes);
    if (!script.readable) return script;
    const std::string_view text = store_->KeepFile(std::move(bytes));
    std::vector<ScriptProblem> problems;
    script.entries = ScanScript(text, findings_ != nullptr ? &problems : nullptr);
    const std::string_view path = problems.empty() ? "" : store_->KeepText(script_path);
    for (ScriptProblem& problem : problems) {
      findings_->Report(problem.kind, {path, text, problem.offset}, composition.id,
                        [&] { return std::move(problem.message); });
    }
    return script;
  }

  // One vehicle per entry of `script`, around the composition's POSITION
  // and turned by its ANGLE.
  void AppendVehicles(const SourceObject& composition, const LoadedScript& script) {
    const std::optional<std::string_view> angle_text = FindArgumentValue(composition, "ANGLE");
    const double angle =
        angle_text ? Number(findings_, composition, "ANGLE", "ANGLE", *angle_text) : 0;
    TextFields position;
    SplitFields(FindArgumentValue(composition, "POSITION").value_or(""), BracketEnds::kInThirdField,
                std::string_view::npos, &position);
    const Vec3 center{
        Number(findings_, composition, "POSITION", "x of POSITION", position.field[0]),
        Number(findings_, composition, "POSITION", "y of POSITION", position.field[1])};
    for (const ScriptEntry& entry : script.entries) {
      AppendVehicle(entry, center.x, center.y, angle, store_, log_);
    }
  }

  const std::string& data_directory_;
  const std::string config_path_;
  platform::FileBytes config_bytes_;  // before config_read_, which fills it
  const bool config_read_;
  const ScriptNameFinder finder_;                          // views into config_bytes_
  std::unordered_map<std::string, LoadedScript> scripts_;  // by file name
  ObjectStore* const store_;
  RunLog* const log_;
  Findings* const findings_;
  std::vector<std::string>* const files_read_;  // or null
};

}  // namespace

void ExpandCompositions(const std::string& data_directory, ObjectStore* store, RunLog* log,
                        Findings* findings, std::vector<std::string>* files_read) {
  // The vehicles made are never compositions, so the set is known up front.
  std::vector<const SourceObject*> compositions;
  VisitedIds visited;
  while (const SourceObject* composition =
             store->NextObjectOfType(ObjectType::kObjectComposition, &visited)) {
    compositions.push_back(composition);
  }
  if (compositions.empty()) return;
  Expander expander(data_directory, compositions, store, log, findings, files_read);
  for (const SourceObject* composition : compositions) expander.Expand(*composition);
}

}  // namespace vexlar
