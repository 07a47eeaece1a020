#include "writer/mission_writer.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "text/ascii.h"
#include "writer/attributes.h"
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

using ObjectRefs = std::vector<SourceObject*>;
// The first centre object of each number.
using CentresByNumber = std::unordered_map<std::int32_t, const SourceObject*>;

// Counts and numbers are written as unsigned 32-bit values; a missing
// header number (-1) thus shows as 4294967295.
unsigned long LogNumber(std::int32_t value) {
  return static_cast<unsigned long>(static_cast<std::uint32_t>(value));
}
unsigned long LogCount(std::size_t count) {
  return static_cast<unsigned long>(static_cast<std::uint32_t>(count));
}

ObjectRefs AllOfType(ObjectStore* store, ObjectType type) {
  ObjectRefs objects;
  VisitedIds visited;
  while (SourceObject* object = store->NextObjectOfType(type, &visited)) objects.push_back(object);
  return objects;
}

// A hint that a loop will read `address` a few iterations later, so that
// the reads of a long loop over scattered objects overlap. No effect where
// the compiler offers no such hint.
inline void Prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

// Some of an index's objects, in list order.
// Asks ahead for the source text of `object`'s arguments, which a write in
// group order reaches out of source order.
inline void PrefetchText(const SourceObject& object) {
  const ArgumentList arguments = object.arguments();
  if (arguments.empty()) return;
  const char* first = arguments[0].name.data();
  const char* last = arguments[arguments.size() - 1].name.data();
  for (const char* at = first; at <= last && at < first + 512; at += 64) Prefetch(at);
}

struct ObjectRange {
  SourceObject* const* first;
  std::size_t count;

  bool empty() const { return count == 0; }
  std::size_t size() const { return count; }
  SourceObject& operator[](std::size_t i) const { return *first[i]; }
};

// Units or waypoints by the number their GROUP value names, in list order.
// Built once in time proportional to the groups and members: the members
// are counted per group number, then placed in one array, group by group.
class MembersByGroup {
 public:
  /// Members that join no group are reported to `findings` (if any) as a
  /// `noun` ("unit", "waypoint") that is not written.
  MembersByGroup(const ObjectRefs& groups, const ObjectRefs& members, Findings* findings,
                 const char* noun) {
    // A number shared by two groups gives both the same members.
    slots_.reserve(groups.size());
    for (const SourceObject* group : groups) {
      if (group->nameNumber >= 0)
        slots_.emplace(group->nameNumber, static_cast<std::uint32_t>(slots_.size()));
    }
    // Each member's GROUP value is three dependent reads away (the object,
    // its argument list, the text), each to memory the last pass left long
    // ago: they are asked for ahead, step by step.
    std::vector<std::int32_t> number_of(members.size(), kNoReferenceNumber);
    const std::size_t count = members.size();
    for (std::size_t m = 0; m < count; ++m) {
      if (m + 12 < count) Prefetch(members[m + 12]);
      if (m + 8 < count && !members[m + 8]->arguments().empty()) {
        Prefetch(members[m + 8]->arguments().data());
      }
      if (m + 4 < count && !members[m + 4]->arguments().empty()) {
        Prefetch(members[m + 4]->arguments()[0].name.data());
      }
      number_of[m] = NumberAfterUnderscore(RequireArgumentValue(*members[m], "GROUP"));
    }
    constexpr std::uint32_t kNoSlot = UINT32_MAX;
    std::vector<std::uint32_t> slot_of(members.size(), kNoSlot);
    starts_.assign(slots_.size() + 1, 0);
    for (std::size_t m = 0; m < members.size(); ++m) {
      // A negative number matches no group, having no slot.
      const auto found = slots_.find(number_of[m]);
      if (found == slots_.end()) {
        if (findings != nullptr) ReportNoGroup(*members[m], findings, noun);
        continue;
      }
      slot_of[m] = found->second;
      ++starts_[found->second + 1];
    }
    for (std::size_t s = 1; s < starts_.size(); ++s) starts_[s] += starts_[s - 1];
    members_.resize(starts_.back());
    std::vector<std::uint32_t> next(starts_.begin(), starts_.end() - 1);
    for (std::size_t m = 0; m < members.size(); ++m) {
      if (slot_of[m] != kNoSlot) members_[next[slot_of[m]]++] = members[m];
    }
  }

  static void ReportNoGroup(const SourceObject& member, Findings* findings, const char* noun) {
    const std::optional<ObjectArgument> group = FindArgument(member, "GROUP");
    const TextPlace place =
        group ? findings->InSource(group->name) : findings->AtHeader(member.name());
    findings->Report("no-group", place, member.id, [&] {
      if (!group) {
        return std::string(noun) + " " + HeaderName(member.name(), member.nameNumber) +
               " has no GROUP; it is not written";
      }
      return "GROUP " + std::string(group->value) + " names no group; the " + noun +
             " is not written";
    });
  }

  /// The members whose GROUP value names `group_number`.
  ObjectRange Of(std::int32_t group_number) const {
    const auto found = slots_.find(group_number);
    if (found == slots_.end()) return {nullptr, 0};
    const std::uint32_t start = starts_[found->second];
    return {members_.data() + start, starts_[found->second + 1] - start};
  }

 private:
  std::unordered_map<std::int32_t, std::uint32_t> slots_;  // group number -> slot
  std::vector<std::uint32_t> starts_;  // slot -> its first member; one more at the end
  ObjectRefs members_;
};

// Tells `findings` of each argument of `object` that mission.pld does not
// show, every name that `uses` does not take.
template <typename Uses>
void ReportUnwritten(const SourceObject& object, Findings* findings, Uses uses) {
  if (findings == nullptr) return;
  for (const ObjectArgument argument : object.arguments()) {
    if (uses(argument.name)) continue;
    findings->Report("unknown-argument", findings->InSource(argument.name), object.id, [&] {
      return std::string(argument.name) + " is not written for " + ObjectTypePhrase(object.type);
    });
  }
}

CentresByNumber IndexCentres(ObjectStore* store, Findings* findings) {
  CentresByNumber index;
  for (const SourceObject* centre : AllOfType(store, ObjectType::kCenter)) {
    ReportUnwritten(*centre, findings,
                    [](std::string_view name) { return EqualsIgnoringCase(name, "SIDE"); });
    if (centre->nameNumber < 0 || index.emplace(centre->nameNumber, centre).second) continue;
    if (findings != nullptr) {
      findings->Report("duplicate-number", findings->AtHeader(centre->name()), centre->id, [&] {
        return "centre " + HeaderName(centre->name(), centre->nameNumber) +
               " has the number of an earlier centre, which gives the side";
      });
    }
  }
  return index;
}

// The SIDE value of the centre named by the group's CENTER value; empty
// when any link of that chain is missing, which goes to `findings`.
std::string_view SideOf(const SourceObject& group, const CentresByNumber& centres,
                        Findings* findings) {
  const auto found = centres.find(NumberAfterUnderscore(RequireArgumentValue(group, "CENTER")));
  if (found != centres.end()) {
    if (const std::optional<std::string_view> side = FindArgumentValue(*found->second, "SIDE")) {
      return *side;
    }
  }
  if (findings != nullptr) {
    const std::optional<ObjectArgument> centre = FindArgument(group, "CENTER");
    const TextPlace place =
        centre ? findings->InSource(centre->name) : findings->AtHeader(group.name());
    findings->Report("no-centre", place, group.id, [&] {
      const std::string name = HeaderName(group.name(), group.nameNumber);
      if (!centre) return "group " + name + " has no CENTER; its side is empty";
      if (found == centres.end()) {
        return "CENTER " + std::string(centre->value) + " names no centre; the side of group " +
               name + " is empty";
      }
      return "the centre of group " + name + " has no SIDE; its side is empty";
    });
  }
  return {};
}

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
    ReportUnwritten(*intel, findings, [](std::string_view name) {
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
struct MissionContent {
  ObjectStore* store;
  RunLog* log;
  TextWriter& out;
  Findings* findings;
  std::uint32_t next_vehicle_id = 0;

  void WriteId(std::string_view indent) {
    out.Write(indent);
    out.Write("id=");
    out.WriteNumber(next_vehicle_id++);
    out.Write(";\n");
  }

  void WriteGroups() {
    const ObjectRefs groups = AllOfType(store, ObjectType::kGroup);
    log->Format("Groups: %lu\n", LogCount(groups.size()));
    if (groups.empty()) return;
    // Indexed once, so each group finds its members without a pass over
    // all objects; a number shared by two groups gives both the members.
    const CentresByNumber centres = IndexCentres(store, findings);
    const MembersByGroup units(groups, AllOfType(store, ObjectType::kUnit), findings, "unit");
    const MembersByGroup waypoints(groups, AllOfType(store, ObjectType::kWaypoint), findings,
                                   "waypoint");
    if (findings != nullptr) ReportSharedNumbers(groups);

    WriteClassOpen("\t", "Groups", groups.size(), out);
    for (std::size_t g = 0; g < groups.size(); ++g) {
      const SourceObject& group = *groups[g];
      ReportUnwritten(group, findings,
                      [](std::string_view name) { return EqualsIgnoringCase(name, "CENTER"); });
      WriteItemOpen("\t\t", g, out);
      const std::string_view side = SideOf(group, centres, findings);
      out.WriteFormat("\t\t\tside=\"%s\";\n", {side});

      const ObjectRange group_units = units.Of(group.nameNumber);
      log->Format("Units in group %lu: %lu\n", LogNumber(group.nameNumber),
                  LogCount(group_units.size()));
      if (group_units.empty() && findings != nullptr) {
        findings->Report("empty-group", findings->AtHeader(group.name()), group.id, [&] {
          return "no unit joins group " + HeaderName(group.name(), group.nameNumber);
        });
      }
      if (!group_units.empty()) {
        WriteClassOpen("\t\t\t", "Vehicles", group_units.size(), out);
        for (std::size_t u = 0; u < group_units.size(); ++u) {
          SourceObject& unit = group_units[u];
          if (u + 1 < group_units.size()) PrefetchText(group_units[u + 1]);
          WriteItemOpen("\t\t\t\t", u, out);
          out.Write("\t\t\t\t\tside=\"");
          out.Write(side);
          out.Write("\";\n");
          WriteId("\t\t\t\t\t");
          ApplyHeightRule(unit, store, findings);
          WriteUnitAttributes(unit, out, findings);
          out.Write("\t\t\t\t};\n");
        }
        out.Write("\t\t\t};\n");
      }

      const ObjectRange group_waypoints = waypoints.Of(group.nameNumber);
      log->Format("WP for group %lu: %lu\n", LogNumber(group.nameNumber),
                  LogCount(group_waypoints.size()));
      if (!group_waypoints.empty()) {
        WriteClassOpen("\t\t\t", "Waypoints", group_waypoints.size(), out);
        for (std::size_t w = 0; w < group_waypoints.size(); ++w) {
          WriteItemOpen("\t\t\t\t", w, out);
          WriteWaypointAttributes(group_waypoints[w], out, findings);
          out.Write("\t\t\t\t};\n");
        }
        out.Write("\t\t\t};\n");
      }
      out.Write("\t\t};\n");
    }
    out.Write("\t};\n");
  }

  // Groups that share a number share their units and waypoints.
  void ReportSharedNumbers(const ObjectRefs& groups) {
    std::unordered_map<std::int32_t, const SourceObject*> first;
    for (const SourceObject* group : groups) {
      if (group->nameNumber < 0 || first.emplace(group->nameNumber, group).second) continue;
      findings->Report("duplicate-number", findings->AtHeader(group->name()), group->id, [&] {
        return "group " + HeaderName(group->name(), group->nameNumber) +
               " has the number of an earlier group: both get the same units and waypoints";
      });
    }
  }

  void WriteSensors() {
    const ObjectRefs triggers = AllOfType(store, ObjectType::kTrigger);
    log->Format("Triggers: %lu\n", LogCount(triggers.size()));
    if (triggers.empty()) return;
    WriteClassOpen("\t", "Sensors", triggers.size(), out);
    for (std::size_t t = 0; t < triggers.size(); ++t) {
      WriteItemOpen("\t\t", t, out);
      if (!FindArgumentValue(*triggers[t], "AGE")) out.Write("\t\t\tage=\"UNKNOWN\";\n");
      WriteSensorAttributes(*triggers[t], out, findings);
      out.Write("\t\t};\n");
    }
    out.Write("\t};\n");
  }

  void WriteEmptyVehicles() {
    const ObjectRefs vehicles = AllOfType(store, ObjectType::kVehicle);
    log->Format("Vehicles: %lu\n", LogCount(vehicles.size()));
    if (vehicles.empty()) return;
    WriteClassOpen("\t", "Vehicles", vehicles.size(), out);
    for (std::size_t v = 0; v < vehicles.size(); ++v) {
      SourceObject& vehicle = *vehicles[v];
      WriteItemOpen("\t\t", v, out);
      out.Write("\t\t\tside=\"EMPTY\";\n");
      WriteId("\t\t\t");
      ApplyHeightRule(vehicle, store, findings);
      WriteVehicleAttributes(vehicle, out, findings);
      out.Write("\t\t};\n");
    }
    out.Write("\t};\n");
  }

  void WriteMarkers() {
    const ObjectRefs markers = AllOfType(store, ObjectType::kMarker);
    log->Format("Markers: %lu\n", LogCount(markers.size()));
    if (markers.empty()) return;
    WriteClassOpen("\t", "Markers", markers.size(), out);
    for (std::size_t m = 0; m < markers.size(); ++m) {
      WriteItemOpen("\t\t", m, out);
      WriteMarkerAttributes(*markers[m], out, findings);
      if (!FindArgumentValue(*markers[m], "TYPE")) out.Write("\t\t\ttype=\"mil_objective\";\n");
      out.Write("\t\t};\n");
    }
    out.Write("\t};\n");
  }
};

// The whole file: the selected section holds the content, the others are
// empty, always in the order Intro, Mission, OutroWin, OutroLoose.
// The section that `mode` selects, with the converted content.
void WriteContentSection(RunMode mode, ObjectStore* store, RunLog* log, Findings* findings,
                         TextWriter& out) {
  WriteSectionHeader(kSectionNames[static_cast<std::size_t>(mode)], out);
  WriteIntel(store, findings, out);
  MissionContent content{store, log, out, findings};
  content.WriteGroups();
  content.WriteSensors();
  content.WriteEmptyVehicles();
  content.WriteMarkers();
  out.Write("};\n");
}

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
  if (!layout.problem.empty()) {
    log->Format("Cannot merge into mission file!\nPath: %s\nProblem: %s\n", mission_path.c_str(),
                layout.problem.c_str());
    return false;
  }
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

bool WriteMissionFile(RunMode mode, std::string_view source_path, ObjectStore* store, RunLog* log,
                      const WriteOptions& options) {
  if (options.dry_run) {
    TextWriter nowhere(TextWriter::kDiscard);
    WriteMission(mode, store, log, options.findings, nowhere);
    return true;
  }
  const std::string mission_path = MissionPathFor(source_path);
  if (options.merge && platform::IsRegularFile(mission_path)) {
    platform::FileBytes existing;
    if (!platform::ReadWholeFile(mission_path, &existing)) {
      log->Format("Cannot merge into mission file!\nPath: %s\nProblem: %s\n", mission_path.c_str(),
                  "it cannot be read");
      return false;
    }
    return MergeMission(mode, mission_path, existing.view(), store, log, options);
  }
  platform::ReplacementFile file(mission_path, platform::ReplacementFile::kText, options.backup);
  bool written = false;
  if (file.stream() != nullptr) {
    TextWriter out(file.stream());
    WriteMission(mode, store, log, options.findings, out);
    written = out.Flush();
  }
  return CommitMission(&file, written, mission_path, log, options);
}

}  // namespace vexlar
