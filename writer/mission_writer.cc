#include "writer/mission_writer.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "text/ascii.h"
#include "writer/attributes.h"
#include "writer/groups.h"
#include "writer/height_rule.h"
#include "writer/sections.h"
#include "writer/text_writer.h"

namespace vexlar {
namespace {

constexpr std::string_view kDefaultIntel =
    "\tclass Intel\n\t{\n\t\tstartWeather=0.40000001;\n\t\tforecastWeather=0.25;\n"
    "\t\tyear=2008;\n\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n\t};\n";

// One line of the Intel class: `line` with the intel object's value for
// `key`, else `default_line` (none when empty).
struct IntelRow {
  std::string_view key;
  std::string_view line;
  std::string_view default_line;
};

constexpr IntelRow kIntelRows[] = {
    {"OVERCAST", "\t\tstartWeather=%s;\n", "\t\tstartWeather=0.40000001;\n"},
    {"FOG", "\t\tstartFog=%s;\n", ""},
    {"OVERCAST_WANTED", "\t\tforecastWeather=%s;\n", "\t\tforecastWeather=0.25;\n"},
    {"FOG_WANTED", "\t\tforecastFog=%s;\n", ""},
    {"YEAR", "\t\tyear=%s;\n", "\t\tyear=2008;\n"},
    {"MONTH", "\t\tmonth=%s;\n", "\t\tmonth=10;\n"},
    {"DAY", "\t\tday=%s;\n", "\t\tday=11;\n"},
    {"HOUR", "\t\thour=%s;\n", "\t\thour=14;\n"},
    {"MINUTE", "\t\tminute=%s;\n", "\t\tminute=20;\n"},
};

// Counts and numbers are written as unsigned 32-bit values; a missing
// header number (-1) thus shows as 4294967295.
unsigned long LogNumber(std::int32_t value) {
  return static_cast<unsigned long>(static_cast<std::uint32_t>(value));
}
unsigned long LogCount(std::size_t count) {
  return static_cast<unsigned long>(static_cast<std::uint32_t>(count));
}

// Enough tabs for the deepest item of the file.
constexpr std::string_view kTabs = "\t\t\t\t\t";

void WriteSectionHeader(std::string_view name, TextWriter& out) {
  out.WriteFormat("class %s\n{\n\taddOns[]={};\n\taddOnsAuto[]={};\n\trandomSeed=7826573;\n",
                  {name});
}

void WriteEmptySection(std::string_view name, TextWriter& out) {
  WriteSectionHeader(name, out);
  out.Write(kDefaultIntel);
  out.Write("};\n");
}

// "class <name>", its brace and its items line; the class at `indent`.
void WriteClassOpen(std::string_view indent, std::string_view name, std::size_t items,
                    TextWriter& out) {
  out.WriteFormat("%sclass %s\n%s{\n%s\titems=", {indent, name, indent, indent});
  out.WriteNumber(static_cast<std::uint32_t>(items));
  out.Write(";\n");
}

void WriteItemOpen(std::string_view indent, std::size_t index, TextWriter& out) {
  out.Write(indent);
  out.Write("class Item");
  out.WriteNumber(static_cast<std::uint32_t>(index));
  out.Write("\n");
  out.Write(indent);
  out.Write("{\n");
}

void WriteIntel(ObjectStore* store, Findings* findings, TextWriter& out) {
  VisitedIds visited;
  const SourceObject* intel = store->NextObjectOfType(ObjectType::kIntel, &visited);
  if (intel != nullptr) {
    ReportUnwrittenArguments(*intel, findings, [](std::string_view name) {
      for (const IntelRow& row : kIntelRows) {
        if (EqualsIgnoringCase(name, row.key)) return true;
      }
      return false;
    });
  }
  out.Write("\tclass Intel\n\t{\n");
  for (const IntelRow& row : kIntelRows) {
    const std::optional<std::string_view> value =
        intel != nullptr ? FindArgumentValue(*intel, row.key) : std::nullopt;
    if (value) {
      out.WriteFormat(row.line, {*value});
    } else {
      out.Write(row.default_line);
    }
  }
  out.Write("\t};\n");
}

// The run's writing state: items of every Vehicles class share one id
// sequence, units first, then empty vehicles.
class MissionContent {
 public:
  MissionContent(ObjectStore* store, RunLog* log, TextWriter& out, Findings* findings)
      : store_(store), log_(log), out_(out), findings_(findings) {}

  // The classes after Intel, in the order of the file.
  void Write() {
    WriteGroups();
    WriteTopItems(ObjectType::kTrigger, "Triggers", "Sensors", &MissionContent::WriteSensor);
    WriteTopItems(ObjectType::kVehicle, "Vehicles", "Vehicles", &MissionContent::WriteVehicle);
    WriteTopItems(ObjectType::kMarker, "Markers", "Markers", &MissionContent::WriteMarker);
  }

 private:
  using ItemBody = void (MissionContent::*)(SourceObject&);

  // The class `name` at `indent` with one item per object of `objects`,
  // the items one tab deeper; `body` writes the lines inside each item.
  void WriteItems(std::string_view indent, std::string_view name, ObjectRange objects,
                  ItemBody body) {
    const std::string_view item_indent = kTabs.substr(0, indent.size() + 1);
    WriteClassOpen(indent, name, objects.size(), out_);
    for (std::size_t i = 0; i < objects.size(); ++i) {
      WriteItemOpen(item_indent, i, out_);
      (this->*body)(objects[i]);
      out_.Write(item_indent);
      out_.Write("};\n");
    }
    out_.Write(indent);
    out_.Write("};\n");
  }

  // A class of the section for every object of `type`, logged as `label`;
  // none when there is no such object.
  void WriteTopItems(ObjectType type, const char* label, std::string_view name, ItemBody body) {
    const ObjectRefs objects = AllOfType(store_, type);
    log_->Format("%s: %lu\n", label, LogCount(objects.size()));
    if (!objects.empty()) WriteItems("\t", name, ObjectRange(objects), body);
  }

  void WriteId(std::string_view indent) {
    out_.Write(indent);
    out_.Write("id=");
    out_.WriteNumber(next_vehicle_id_++);
    out_.Write(";\n");
  }

  void WriteGroups() {
    const ObjectRefs groups = AllOfType(store_, ObjectType::kGroup);
    log_->Format("Groups: %lu\n", LogCount(groups.size()));
    if (groups.empty()) return;
    // Indexed once, so each group finds its members without a pass over
    // all objects.
    const CentresByNumber centres = IndexCentres(store_, findings_);
    const MembersByGroup units(groups, AllOfType(store_, ObjectType::kUnit), findings_, "unit");
    const MembersByGroup waypoints(groups, AllOfType(store_, ObjectType::kWaypoint), findings_,
                                   "waypoint");
    ReportSharedNumbers(groups, findings_);
    WriteClassOpen("\t", "Groups", groups.size(), out_);
    for (std::size_t g = 0; g < groups.size(); ++g) {
      const SourceObject& group = *groups[g];
      ReportUnwrittenArguments(group, findings_, [](std::string_view name) {
        return EqualsIgnoringCase(name, "CENTER");
      });
      WriteItemOpen("\t\t", g, out_);
      const std::string_view side = SideOf(group, centres, findings_);
      WriteGroup(group, side, units.Of(group.nameNumber), waypoints.Of(group.nameNumber));
      out_.Write("\t\t};\n");
    }
    out_.Write("\t};\n");
  }

  // The lines inside one group's item: its side, its Vehicles class of
  // units and its Waypoints class, each left out when empty.
  void WriteGroup(const SourceObject& group, std::string_view side, ObjectRange units,
                  ObjectRange waypoints) {
    out_.WriteFormat("\t\t\tside=\"%s\";\n", {side});
    log_->Format("Units in group %lu: %lu\n", LogNumber(group.nameNumber), LogCount(units.size()));
    if (units.empty() && findings_ != nullptr) {
      findings_->Report("empty-group", findings_->AtHeader(group.name()), group.id, [&] {
        return "no unit joins group " + HeaderName(group.name(), group.nameNumber);
      });
    }
    group_side_ = side;
    if (!units.empty()) WriteItems("\t\t\t", "Vehicles", units, &MissionContent::WriteUnit);
    log_->Format("WP for group %lu: %lu\n", LogNumber(group.nameNumber),
                 LogCount(waypoints.size()));
    if (!waypoints.empty()) {
      WriteItems("\t\t\t", "Waypoints", waypoints, &MissionContent::WriteWaypoint);
    }
  }

  // The height rule runs on every unit item written, so a unit of two
  // groups gets its setpos statement twice.
  void WriteUnit(SourceObject& unit) {
    out_.Write("\t\t\t\t\tside=\"");
    out_.Write(group_side_);
    out_.Write("\";\n");
    WriteId("\t\t\t\t\t");
    ApplyHeightRule(unit, store_, findings_);
    WriteUnitAttributes(unit, out_, findings_);
  }

  void WriteWaypoint(SourceObject& waypoint) { WriteWaypointAttributes(waypoint, out_, findings_); }

  void WriteSensor(SourceObject& trigger) {
    if (!FindArgumentValue(trigger, "AGE")) out_.Write("\t\t\tage=\"UNKNOWN\";\n");
    WriteSensorAttributes(trigger, out_, findings_);
  }

  void WriteVehicle(SourceObject& vehicle) {
    out_.Write("\t\t\tside=\"EMPTY\";\n");
    WriteId("\t\t\t");
    ApplyHeightRule(vehicle, store_, findings_);
    WriteVehicleAttributes(vehicle, out_, findings_);
  }

  void WriteMarker(SourceObject& marker) {
    WriteMarkerAttributes(marker, out_, findings_);
    if (!FindArgumentValue(marker, "TYPE")) out_.Write("\t\t\ttype=\"mil_objective\";\n");
  }

  ObjectStore* const store_;
  RunLog* const log_;
  TextWriter& out_;
  Findings* const findings_;
  std::uint32_t next_vehicle_id_ = 0;
  std::string_view group_side_;  // of the group whose units are being written
};

// Logs why --merge refused `mission_path`, which stays as it was. Returns
// false, as WriteMissionFile then does.
bool RefuseMerge(const std::string& mission_path, const char* problem, RunLog* log) {
  log->Format("Cannot merge into mission file!\nPath: %s\nProblem: %s\n", mission_path.c_str(),
              problem);
  return false;
}

// The section that `mode` selects, with the converted content.
void WriteContentSection(RunMode mode, ObjectStore* store, RunLog* log, Findings* findings,
                         TextWriter& out) {
  WriteSectionHeader(kSectionNames[static_cast<std::size_t>(mode)], out);
  WriteIntel(store, findings, out);
  MissionContent(store, log, out, findings).Write();
  out.Write("};\n");
}

// The whole file: the selected section holds the content, the others are
// empty, always in the order Intro, Mission, OutroWin, OutroLoose.
void WriteMission(RunMode mode, ObjectStore* store, RunLog* log, Findings* findings,
                  TextWriter& out) {
  const auto selected = static_cast<std::size_t>(mode);
  out.Write("version=11;\n");
  for (std::size_t s = 0; s < selected; ++s) WriteEmptySection(kSectionNames[s], out);
  WriteContentSection(mode, store, log, findings, out);
  for (std::size_t s = selected + 1; s < kSectionNames.size(); ++s) {
    WriteEmptySection(kSectionNames[s], out);
  }
}

// The backup file `backup` as the log names it: in the folder of
// `mission_path` as the command line gave it, whatever the letter case of the
// names on disk.
std::string LoggedBackup(const std::string& mission_path, const std::string& backup) {
  return mission_path.substr(0, mission_path.find_last_of("\\/") + 1) +
         backup.substr(backup.find_last_of("\\/") + 1);
}

// Replaces the mission file by what was written to `file` (`written` when
// every write went through) and logs what failed or which backup was made.
bool CommitMission(platform::ReplacementFile* file, bool written, const std::string& mission_path,
                   RunLog* log, const WriteOptions& options) {
  if (!written || !file->Commit()) {
    if (!file->failed_backup().empty()) {
      log->Format("Cannot back up mission file!\nPath: %s\nBackup: %s\n", mission_path.c_str(),
                  LoggedBackup(mission_path, file->failed_backup()).c_str());
    } else {
      log->Format("Cannot write mission file!\nPath: %s\n", mission_path.c_str());
    }
    return false;
  }
  if (!file->backup_path().empty()) {
    log->Format("Backup: %s\n", LoggedBackup(mission_path, file->backup_path()).c_str());
  }
  if (options.written_stamp != nullptr) *options.written_stamp = file->written_stamp();
  return true;
}

// --merge into the existing mission.pld `existing`: its other sections stay
// byte for byte, the selected one is replaced by the converted content.
bool MergeMission(RunMode mode, const std::string& mission_path, std::string_view existing,
                  ObjectStore* store, RunLog* log, const WriteOptions& options) {
  Findings* findings = options.findings;
  const SectionLayout layout = FindSections(existing);
  if (!layout.problem.empty()) return RefuseMerge(mission_path, layout.problem.c_str(), log);
  TextWriter section;
  WriteContentSection(mode, store, log, findings, section);
  std::string kept;
  for (std::size_t s = 0; s < kSectionNames.size(); ++s) {
    if (s == static_cast<std::size_t>(mode)) continue;
    kept += (kept.empty() ? "" : ", ") + std::string(kSectionNames[s]);
  }
  log->Format("Merge: kept %s\n", kept.c_str());

  // The section's own last line end is the one that follows it in the file.
  const std::size_t selected = static_cast<std::size_t>(mode);
  std::string_view fresh = section.pending();
  fresh.remove_suffix(1);
  std::string text(existing.substr(0, layout.begin[selected]));
  text += platform::TextLineEnds(fresh);
  text += existing.substr(layout.end[selected]);

  platform::ReplacementFile file(mission_path, platform::ReplacementFile::kBinary, options.backup);
  const bool written = file.stream() != nullptr &&
                       std::fwrite(text.data(), 1, text.size(), file.stream()) == text.size();
  return CommitMission(&file, written, mission_path, log, options);
}

}  // namespace

std::string MissionPathFor(std::string_view source_path) {
  const std::size_t separator = source_path.find_last_of("\\/");
  std::string path(separator == std::string_view::npos ? std::string_view()
                                                       : source_path.substr(0, separator + 1));
  path += "mission.pld";
  return path;
}

bool WriteMissionFile(RunMode mode, std::string_view source_path, ObjectStore* store_to_change,
                      RunLog* log, const WriteOptions& options) {
  if (options.dry_run) {
    TextWriter nowhere(TextWriter::kDiscard);
    WriteMission(mode, store_to_change, log, options.findings, nowhere);
    return true;
  }
  const std::string mission_path = MissionPathFor(source_path);
  if (options.merge && platform::IsRegularFile(mission_path)) {
    platform::FileBytes existing;
    if (!platform::ReadWholeFile(mission_path, &existing)) {
      return RefuseMerge(mission_path, "it cannot be read", log);
    }
    return MergeMission(mode, mission_path, existing.view(), store_to_change, log, options);
  }
  platform::ReplacementFile file(mission_path, platform::ReplacementFile::kText, options.backup);
  bool written = false;
  if (file.stream() != nullptr) {
    TextWriter out(file.stream());
    WriteMission(mode, store_to_change, log, options.findings, out);
    written = out.Flush();
  }
  return CommitMission(&file, written, mission_path, log, options);
}

}  // namespace vexlar
