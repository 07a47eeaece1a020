#include "driver/driver.h"

#include <optional>

#include "dyno/compositions.h"
#include "log/run_log.h"
#include "platform/platform.h"
#include "reader/reader.h"
#include "store/store.h"
#include "text/ascii.h"
#include "writer/mission_writer.h"

namespace vexlar {
namespace {

constexpr char kUsage[] =
    "Usage: vexlar [intro|win|loose] <mission.kolvo>\n"
    "\n"
    "Converts a mission saved by the 3D editor (.kolvo) into mission.pld for\n"
    "the 2D map editor.\n"
    "\n"
    "  intro   put the mission into the Intro section\n"
    "  win     put the mission into the OutroWin section\n"
    "  loose   put the mission into the OutroLoose section\n"
    "  (none)  put the mission into the Mission section\n"
    "\n"
    "mission.pld is written into the folder of the .kolvo file, replacing an\n"
    "existing one. Every run appends its messages to the log file beside the\n"
    "executable (its name with the extension .log). Object compositions are\n"
    "expanded with DynO.cpp and the scripts of the DynO folder, both beside\n"
    "the executable.\n"
    "\n"
    "  --help, -h   show this text\n"
    "  --version    show the version\n";

// The outcome of reading the command line: a mode and a full path, or the
// message that ends the run.
struct CommandLine {
  RunMode mode = RunMode::kMission;
  std::optional<std::string> full_path;
  const char* error = nullptr;
};

CommandLine ReadCommandLine(std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string& arg = args[i];
    FoldLowerInPlace(arg);
    if (arg == "intro") {
      line.mode = RunMode::kIntro;
    } else if (arg == "win") {
      line.mode = RunMode::kWin;
    } else if (arg == "loose") {
      line.mode = RunMode::kLoose;
    } else {
      line.full_path = platform::FullPath(arg);
      if (!line.full_path) {
        line.error = "ERROR: Invalid path to file!\n";
        return line;
      }
    }
  }
  if (!line.full_path) line.error = "ERROR: No file for converting!\n";
  return line;
}

}  // namespace

std::string ProgramDirectoryFor(std::string_view executable_path) {
  std::size_t separator = executable_path.rfind(platform::kSeparator);
  if (separator != std::string_view::npos) {
    return std::string(executable_path.substr(0, separator + 1));
  }
  std::optional<std::string> full = platform::FullPath(executable_path);
  if (!full) return std::string();
  separator = full->rfind(platform::kSeparator);
  if (separator == std::string::npos) return std::string();
  return full->substr(0, separator + 1);
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

int RunVexlar(std::vector<std::string> args, std::FILE* console, const std::tm& start_time) {
  ObjectStore store;
  return RunVexlar(std::move(args), console, start_time, &store);
}

int RunVexlar(std::vector<std::string> args, std::FILE* console, const std::tm& start_time,
              ObjectStore* store) {
  ProgramInfo info;
  info.start_time = start_time;
  RunPaths paths;
  paths.log_path = LogPathFor(args[0]);
  RunLog log(paths.log_path, console);
  log.WriteHeader(info);
  paths.program_directory = ProgramDirectoryFor(args[0]);

  // The help and version words hold no '.', so no convertible file is named so.
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kUsage, console);
      return 0;
    }
    if (args[i] == "--version") {
      std::fprintf(console, "%s %s.%i\n", info.name.c_str(), info.version.c_str(), info.build);
      return 0;
    }
  }

  if (args.size() < 2) {
    log.Line("ERROR: No file for converting!\n");
    return 1;
  }
  const CommandLine line = ReadCommandLine(args);
  if (line.error != nullptr) {
    log.Line(line.error);
    return 1;
  }
  const RunMode mode = line.mode;
  log.Format("Mode: %hu\n", static_cast<unsigned short>(mode));

  if (SourceFileKindOf(*line.full_path) != SourceFileKind::kKolvo) {
    log.Line("ERROR: Unsupported file type!\n");
    return 1;
  }
  log.Line("Converting from 3d to 2d editor...\n");
  paths.source_path = *line.full_path;

  // A source that cannot be read ends the run before the writer, so an
  // existing mission.pld is not replaced by an empty mission.
  if (!ReadSourceFile(paths.source_path, store, &log)) return 1;
  ExpandCompositions(paths.program_directory, store, &log);
  if (!WriteMissionFile(mode, paths.source_path, store, &log)) return 1;
  return 0;
}

}  // namespace vexlar
