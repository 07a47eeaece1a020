#include "driver/driver.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "driver/backup_options.h"
#include "driver/command_line.h"
#include "driver/conversion.h"
#include "driver/watch.h"
#include "log/run_log.h"
#include "platform/platform.h"

namespace vexlar {
namespace {

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
std::string DataDirectoryFor(const std::string& program_directory,
                             const std::optional<std::string>& named,
                             const std::optional<std::string>& running_executable) {
  if (named) return AsFolder(platform::FullPath(*named).value_or(*named));
  if (platform::IsRegularFile(program_directory + "DynO.cpp") || !running_executable) {
    return program_directory;
  }
  const std::string sep(1, platform::kSeparator);
  const std::optional<std::string> installed = platform::FullPath(
      FolderOf(*running_executable) + ".." + sep + "share" + sep + "vexlar" + sep);
  if (installed && platform::IsRegularFile(*installed + "DynO.cpp")) return AsFolder(*installed);
  return program_directory;
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

namespace {

// The hint for a user who started the program in a window of its own
// without a file (a double-click): there is no command line to read.
constexpr char kWindowHint[] =
    "To convert a mission, drop its .kolvo file (or several) onto vexlar.exe, or\n"
    "run vexlar in a command prompt: vexlar --help lists the options.\n";

// `paths` as a list: "a, b, c".
std::string Joined(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) list += (list.empty() ? "" : ", ") + path;
  return list;
}

// The source path of a run from the path arguments: the last one, each
// resolved in turn. Logs why there is none.
std::optional<std::string> SourcePathOf(const std::vector<std::string>& paths, RunLog* log,
                                        const RunContext& context) {
  std::optional<std::string> full_path;
  for (const std::string& path : paths) {
    full_path = platform::FullPath(path);
    if (!full_path) {
      log->Error("ERROR: Invalid path to file!\n");
      return std::nullopt;
    }
  }
  if (!full_path) {
    log->Error("ERROR: No file for converting!\n");
    Note(context.console, context.errors,
         "vexlar: name a .kolvo file to convert; see vexlar --help\n");
    if (context.own_console) Note(context.console, context.errors, "%s", kWindowHint);
    return std::nullopt;
  }
  if (paths.size() > 1) {
    Note(context.console, context.errors,
         "vexlar: one file at a time: converting %s, ignoring %s\n", full_path->c_str(),
         Joined({paths.begin(), paths.end() - 1}).c_str());
  }
  return full_path;
}

// What a run converts: the source, its kind tested, and the data folder.
// Logs why it converts nothing; `*status` is then the run's status.
std::optional<ConversionRequest> RequestFor(const std::vector<std::string>& paths,
                                            const CommandLine& line, const RunContext& context,
                                            RunPaths run_paths, RunLog* log, int* status) {
  *status = 1;
  std::optional<std::string> source = SourcePathOf(paths, log, context);
  if (!source) return std::nullopt;
  // --check ends with status 2 when it cannot read what it should check.
  *status = line.check ? 2 : 1;
  log->Format("Mode: %hu\n", static_cast<unsigned short>(line.mode));
  if (SourceFileKindOf(*source) != SourceFileKind::kKolvo) {
    log->Error("ERROR: Unsupported file type!\n");
    return std::nullopt;
  }
  ConversionRequest request;
  request.paths = std::move(run_paths);
  // A data folder the user names must be there, or nothing is converted.
  const std::optional<std::string>& named =
      line.dyno_folder ? line.dyno_folder : context.dyno_folder;
  request.paths.data_directory =
      DataDirectoryFor(request.paths.program_directory, named, context.running_executable);
  if (named && !platform::IsDirectory(request.paths.data_directory)) {
    log->Error("ERROR: Cannot find DynO folder!\nPath: %s\n", request.paths.data_directory.c_str());
    return std::nullopt;
  }
  request.mode = line.mode;
  request.paths.source_path = std::move(*source);
  request.check = line.check;
  request.merge = line.merge;
  request.backup = line.backup_policy;
  return request;
}

// What a watch adds to a run's conversion, and where the run reports to it.
struct WatchStep {
  std::optional<platform::FileStamp> settled_source;
  std::optional<platform::FileStamp> last_written;  // no backup of that mission.pld
  ConversionReport* report = nullptr;
};

// One run, as one start of the program with `paths` would make it: the log
// header, the checks of the command line's paths, the conversion.
int RunOnce(const std::vector<std::string>& paths, const CommandLine& line,
            const std::string& executable, const RunContext& context, const std::tm& start,
            const WatchStep& step = {}) {
  ProgramInfo info;
  info.start_time = start;
  RunPaths run_paths;
  run_paths.log_path = LogPathFor(executable);
  RunLog log(run_paths.log_path, context.console, line.check);
  log.WriteHeader(info);
  run_paths.program_directory = ProgramDirectoryFor(executable, context.running_executable);
  int status = 1;
  std::optional<ConversionRequest> request =
      RequestFor(paths, line, context, std::move(run_paths), &log, &status);
  if (!request) return status;
  request->settled_source = step.settled_source;
  request->backup.skip_when = step.last_written;
  log.Line("Converting from 3d to 2d editor...\n");
  return Convert(*request, &log, context.console, context.errors, step.report);
}

// ", 2 failed: a, b", or ", 0 failed".
std::string Counted(const std::vector<std::string>& paths, const char* what) {
  return ", " + std::to_string(paths.size()) + " " + what +
         (paths.empty() ? "" : ": " + Joined(paths));
}

// Every path as a run of its own, then one line that counts those converted
// (checked, for --check: then also those with findings) and those failed,
// naming them. The status is the highest of the runs'.
int RunEach(const CommandLine& line, const std::string& executable, const RunContext& context) {
  int highest = 0;
  std::size_t done = 0;
  std::vector<std::string> with_findings, failed;
  for (std::size_t i = 0; i < line.paths.size(); ++i) {
    const std::tm start = i == 0 || !context.local_time ? context.start_time : context.local_time();
    const int status = RunOnce({line.paths[i]}, line, executable, context, start);
    highest = std::max(highest, status);
    const bool found = line.check && status == 1;
    if (status == 0 || found) ++done;
    if (status != 0) (found ? with_findings : failed).push_back(line.paths[i]);
  }
  const std::string summary = std::to_string(done) + (done == 1 ? " mission " : " missions ") +
                              (line.check ? "checked" + Counted(with_findings, "with findings")
                                          : std::string("converted")) +
                              Counted(failed, "failed");
  Note(context.console, context.errors, "%s\n", summary.c_str());
  return highest;
}

// The first run, then one at every change, until Ctrl+C.
int RunWatch(const CommandLine& line, const std::string& executable, const RunContext& context) {
  platform::DeferInterrupts();
  bool first = true;
  const ConvertForWatch convert = [&](const std::optional<platform::FileStamp>& settled_source,
                                      const std::optional<platform::FileStamp>& last_written,
                                      ConversionReport* report) {
    const std::tm start = first || !context.local_time ? context.start_time : context.local_time();
    first = false;
    return RunOnce(line.paths, line, executable, context, start,
                   {settled_source, last_written, report});
  };
  return Watch(convert, [&context](const std::string& text) {
    std::fputs(text.c_str(), context.console);
    std::fflush(context.console);  // shown at once, also through a pipe
  });
}

}  // namespace

int RunVexlar(std::vector<std::string> args, const RunContext& context) {
  CommandLine line = ReadCommandLine(args);
  if (line.action == Action::kConvert &&
      !BackupPolicyFor(line.backup, context.version_control, context.simple_backup_suffix,
                       &line.backup_policy, &line.usage_error)) {
    line.action = Action::kUsageError;
  }
  switch (line.action) {
    case Action::kHelp:
      std::fputs(kUsage, context.console);
      return 0;
    case Action::kVersion: {
      const ProgramInfo info;
      std::fprintf(context.console, "%s %s.%i\n", info.name.c_str(), info.version.c_str(),
                   info.build);
      return 0;
    }
    case Action::kUsageError:
      std::fputs(line.usage_error.c_str(), context.errors);
      return 2;
    case Action::kConvert:
      break;
  }
  if (line.watch) return RunWatch(line, args[0], context);
  // In a window of its own (files dropped onto the program), several files
  // are several missions.
  if ((line.each && !line.paths.empty()) || (context.own_console && line.paths.size() > 1)) {
    return RunEach(line, args[0], context);
  }
  return RunOnce(line.paths, line, args[0], context, context.start_time);
}

}  // namespace vexlar
