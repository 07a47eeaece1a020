#include "driver/driver.h"

#include <cstdarg>
#include <cstdio>
#include <optional>

#include "driver/backup_options.h"
#include "dyno/compositions.h"
#include "log/findings.h"
#include "log/run_log.h"
#include "platform/platform.h"
#include "reader/reader.h"
#include "store/store.h"
#include "text/ascii.h"
#include "writer/mission_writer.h"

namespace vexlar {
namespace {

constexpr char kUsage[] =
    "Usage: vexlar [options] [intro|win|loose] <mission.kolvo>\n"
    "\n"
    "Converts a mission saved by the 3D editor (.kolvo) into mission.pld for\n"
    "the 2D map editor.\n"
    "\n"
    "  intro   put the mission into the Intro section\n"
    "  win     put the mission into the OutroWin section\n"
    "  loose   put the mission into the OutroLoose section (also: lose)\n"
    "  (none)  put the mission into the Mission section\n"
    "\n"
    "mission.pld is written into the folder of the .kolvo file, replacing an\n"
    "existing one. Every run appends its messages to the log file beside the\n"
    "executable (its name with the extension .log). Object compositions are\n"
    "expanded with DynO.cpp and the scripts of the DynO folder, found beside\n"
    "the executable, else in ../share/vexlar/ of an installed one.\n"
    "\n"
    "Options:\n"
    "  -b, --backup[=CONTROL]\n"
    "                 keep the mission.pld that a conversion replaces. CONTROL:\n"
    "                 none or off: no backup; numbered or t: mission.pld.~1~,\n"
    "                 .~2~, ...; existing or nil: numbered if numbered ones are\n"
    "                 there, else simple; simple or never: mission.pld~. Without\n"
    "                 =CONTROL, that of VERSION_CONTROL, else existing\n"
    "  --check        write no mission.pld: list what a conversion would leave\n"
    "                 out or change, one warning per line (status 1 if any)\n"
    "  --dyno DIR     read DIR/DynO.cpp and DIR/DynO/ instead (also VEXLAR_DYNO)\n"
    "  --merge        keep the other three sections of an existing mission.pld\n"
    "                 and replace only the one the mode word chooses\n"
    "  --suffix=SUFFIX\n"
    "                 end simple backups with SUFFIX instead of ~ (also\n"
    "                 SIMPLE_BACKUP_SUFFIX); implies --backup\n"
    "  -h, --help     show this text\n"
    "  -V, --version  show the version\n"
    "  --             end of the options: a file name may then start with '-'\n";

// What the command line asks for.
enum class Action { kConvert, kHelp, kVersion, kUsageError };

// The command line read: an action, the mode, the path arguments (folded to
// lower case, in order) and the options.
struct CommandLine {
  Action action = Action::kConvert;
  std::string usage_error;  // for kUsageError, the line for standard error
  RunMode mode = RunMode::kMission;
  std::vector<std::string> paths;
  std::optional<std::string> dyno_folder;  // --dyno
  bool check = false;                      // --check
  bool merge = false;                      // --merge
  BackupOptions backup;                    // -b, --backup, --suffix
};

bool IsHelp(const std::string& arg) {
  return arg == "-h" || arg == "--help" ||
         (platform::kSeparator == '\\' && (arg == "/?" || arg == "/h" || arg == "/H"));
}

// Reads the arguments after the program. Words that are no option are mode
// words or paths, folded to lower case as the game's Windows tools fold
// them; an argument that starts with '-' is an option unless it names an
// existing file or follows "--".
CommandLine ReadCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && IsHelp(arg)) {
      line.action = Action::kHelp;
      return line;
    }
    if (options && (arg == "-V" || arg == "--version")) {
      line.action = Action::kVersion;
      return line;
    }
    if (options && arg == "--") {
      options = false;
      continue;
    }
    if (options && (arg == "--dyno" || arg.rfind("--dyno=", 0) == 0)) {
      if (arg == "--dyno" && i + 1 == args.size()) {
        line.action = Action::kUsageError;
        line.usage_error = "vexlar: --dyno needs a folder; see vexlar --help\n";
        return line;
      }
      line.dyno_folder = arg == "--dyno" ? args[++i] : arg.substr(7);
      continue;
    }
    if (options && ReadBackupOption(args, &i, &line.backup, &line.usage_error)) {
      if (line.usage_error.empty()) continue;
      line.action = Action::kUsageError;
      return line;
    }
    if (options && (arg == "--check" || arg == "--merge")) {
      (arg == "--check" ? line.check : line.merge) = true;
      continue;
    }
    if (options && arg.size() > 1 && arg[0] == '-' && !platform::IsRegularFile(arg)) {
      if (line.action != Action::kUsageError) {
        line.action = Action::kUsageError;
        line.usage_error = "vexlar: unknown option '" + arg + "'; see vexlar --help\n";
      }
      continue;  // a later --help or --version still answers
    }
    std::string word = arg;
    FoldLowerInPlace(word);
    if (word == "intro") {
      line.mode = RunMode::kIntro;
    } else if (word == "win") {
      line.mode = RunMode::kWin;
    } else if (word == "loose" || word == "lose") {
      line.mode = RunMode::kLoose;
    } else {
      line.paths.push_back(std::move(word));
    }
  }
  return line;
}

// `path` up to and including its last platform separator, or "".
std::string FolderOf(std::string_view path) {
  const std::size_t separator = path.rfind(platform::kSeparator);
  return std::string(separator == std::string_view::npos ? std::string_view()
                                                         : path.substr(0, separator + 1));
}

// `folder` with a separator at its end.
std::string AsFolder(std::string folder) {
  if (!folder.empty() && folder.back() != platform::kSeparator && folder.back() != '/') {
    folder += platform::kSeparator;
  }
  return folder;
}

// Where the composition data is read from: a folder the user named;
// otherwise beside the program when DynO.cpp is there, else in share/vexlar
// of an installed program (bin/../share/vexlar/); else beside the program,
// whose messages then tell what is missing.
std::string DataDirectoryFor(const RunPaths& paths, const std::optional<std::string>& named,
                             const std::optional<std::string>& running_executable) {
  if (named) return AsFolder(platform::FullPath(*named).value_or(*named));
  if (platform::IsRegularFile(paths.program_directory + "DynO.cpp") || !running_executable) {
    return paths.program_directory;
  }
  const std::string sep(1, platform::kSeparator);
  const std::optional<std::string> installed = platform::FullPath(
      FolderOf(*running_executable) + ".." + sep + "share" + sep + "vexlar" + sep);
  if (installed && platform::IsRegularFile(*installed + "DynO.cpp")) return AsFolder(*installed);
  return paths.program_directory;
}

// A mission of which mission.pld shows nothing is worth a word.
void ReportEmptyMission(ObjectStore* store, Findings* findings) {
  for (const ObjectType type : {ObjectType::kGroup, ObjectType::kTrigger, ObjectType::kVehicle,
                                ObjectType::kMarker, ObjectType::kIntel}) {
    VisitedIds visited;
    if (store->NextObjectOfType(type, &visited) != nullptr) return;
  }
  findings->Report("empty-mission", findings->InSource({}), Finding::kNoObject, [] {
    return std::string(
        "the mission holds no group, trigger, vehicle, marker or intel: mission.pld shows nothing "
        "of it");
  });
}

// A note for the user on the error stream, after the messages so far: a
// redirected console is buffered.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void Note(const RunContext& context, const char* format, ...) {
  std::fflush(context.console);
  va_list args;
  va_start(args, format);
  std::vfprintf(context.errors, format, args);
  va_end(args);
}

}  // namespace

void ReadEnvironment(const std::function<std::optional<std::string>(const char*)>& variable,
                     RunContext* context) {
  context->dyno_folder = variable("VEXLAR_DYNO");
  context->version_control = variable("VERSION_CONTROL");
  context->simple_backup_suffix = variable("SIMPLE_BACKUP_SUFFIX");
}

std::string ProgramDirectoryFor(std::string_view executable_path,
                                const std::optional<std::string>& running_executable) {
  const std::string typed(executable_path);
  const bool has_folder = typed.find(platform::kSeparator) != std::string::npos;
  if (running_executable && (!has_folder || platform::IsSymbolicLink(typed) ||
                             !platform::SameFile(typed, *running_executable))) {
    return FolderOf(*running_executable);
  }
  if (has_folder) return FolderOf(typed);
  const std::optional<std::string> full = platform::FullPath(executable_path);
  return full ? FolderOf(*full) : std::string();
}

SourceFileKind SourceFileKindOf(std::string_view full_path) {
  const std::size_t mark = full_path.find_last_of(".\\/");
  if (mark == std::string_view::npos || full_path[mark] != '.') {
    return SourceFileKind::kUnsupported;
  }
  const std::string_view extension = full_path.substr(mark + 1);
  if (extension == "kolvo") return SourceFileKind::kKolvo;
  if (extension == "pld") return SourceFileKind::kPld;
  return SourceFileKind::kUnsupported;
}

int RunVexlar(std::vector<std::string> args, const RunContext& context) {
  ObjectStore store;
  return RunVexlar(std::move(args), context, &store);
}

int RunVexlar(std::vector<std::string> args, const RunContext& context, ObjectStore* store) {
  ProgramInfo info;
  info.start_time = context.start_time;
  CommandLine line = ReadCommandLine(args);
  platform::BackupPolicy backup;
  if (line.action == Action::kConvert &&
      !BackupPolicyFor(line.backup, context.version_control, context.simple_backup_suffix, &backup,
                       &line.usage_error)) {
    line.action = Action::kUsageError;
  }
  backup.skip_when = context.last_written;
  switch (line.action) {
    case Action::kHelp:
      std::fputs(kUsage, context.console);
      return 0;
    case Action::kVersion:
      std::fprintf(context.console, "%s %s.%i\n", info.name.c_str(), info.version.c_str(),
                   info.build);
      return 0;
    case Action::kUsageError:
      std::fputs(line.usage_error.c_str(), context.errors);
      return 2;
    case Action::kConvert:
      break;
  }

  RunPaths paths;
  paths.log_path = LogPathFor(args[0]);
  RunLog log(paths.log_path, context.console);
  log.WriteHeader(info);
  paths.program_directory = ProgramDirectoryFor(args[0], context.running_executable);

  std::optional<std::string> full_path;
  for (const std::string& path : line.paths) {
    full_path = platform::FullPath(path);
    if (!full_path) {
      log.Line("ERROR: Invalid path to file!\n");
      return 1;
    }
  }
  if (!full_path) {
    log.Line("ERROR: No file for converting!\n");
    Note(context, "vexlar: name a .kolvo file to convert; see vexlar --help\n");
    return 1;
  }
  if (line.paths.size() > 1) {
    std::string ignored;
    for (std::size_t i = 0; i + 1 < line.paths.size(); ++i) {
      ignored += (i == 0 ? "" : ", ") + line.paths[i];
    }
    Note(context, "vexlar: one file at a time: converting %s, ignoring %s\n", full_path->c_str(),
         ignored.c_str());
  }
  // --check reads and expands as a conversion does, but tells only the
  // findings; its errors end with status 2.
  const int failed = line.check ? 2 : 1;
  const RunMode mode = line.mode;
  if (!line.check) log.Format("Mode: %hu\n", static_cast<unsigned short>(mode));

  if (SourceFileKindOf(*full_path) != SourceFileKind::kKolvo) {
    log.Line("ERROR: Unsupported file type!\n");
    return failed;
  }
  // A data folder the user names must be there, or nothing is converted.
  const std::optional<std::string>& named =
      line.dyno_folder ? line.dyno_folder : context.dyno_folder;
  paths.data_directory = DataDirectoryFor(paths, named, context.running_executable);
  if (named && !platform::IsDirectory(paths.data_directory)) {
    log.Format("ERROR: Cannot find DynO folder!\nPath: %s\n", paths.data_directory.c_str());
    return failed;
  }
  if (!line.check) log.Line("Converting from 3d to 2d editor...\n");
  paths.source_path = *full_path;

  // A source that cannot be read ends the run before the writer, so an
  // existing mission.pld is not replaced by an empty mission.
  Findings findings(line.check);
  const std::optional<std::string_view> text =
      ReadSourceFile(paths.source_path, store, &log, &findings);
  if (!text) {
    Note(context, "vexlar: cannot open %s\n", paths.source_path.c_str());
    return failed;
  }
  findings.SetSource(paths.source_path, *text);
  log.SetMuted(line.check);
  ExpandCompositions(paths.data_directory, store, &log, &findings);
  ReportEmptyMission(store, &findings);
  const bool written =
      WriteMissionFile(mode, paths.source_path, store, &log,
                       {&findings, line.check, line.merge, backup, context.written_stamp});
  log.SetMuted(false);
  if (line.check) {
    const std::string lines = findings.Lines();
    std::fwrite(lines.data(), 1, lines.size(), context.console);  // a name may hold a NUL byte
    log.AppendToFile(lines);
    return findings.count() == 0 ? 0 : 1;
  }
  if (!written) return 1;
  if (findings.count() > 0) {
    Note(context, "vexlar: %zu %s left out or changed; run vexlar --check %s to see %s\n",
         findings.count(), findings.count() == 1 ? "thing was" : "things were",
         paths.source_path.c_str(), findings.count() == 1 ? "it" : "them");
  }
  return 0;
}

}  // namespace vexlar
