// The command line: options, the mode word and the paths, read into one
// record before anything else happens; and the text of --help.
#ifndef VEXLAR_DRIVER_COMMAND_LINE_H_
#define VEXLAR_DRIVER_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <vector>

#include "driver/backup_options.h"
#include "platform/platform.h"
#include "writer/mission_writer.h"

namespace vexlar {

/// The text --help shows.
extern const char kUsage[];

/// What the command line asks for.
enum class Action { kConvert, kHelp, kVersion, kUsageError };

/// The command line read: an action, the mode, the path arguments (folded to
/// lower case, in order) and the options.
struct CommandLine {
  Action action = Action::kConvert;
  std::string usage_error;  // for kUsageError, the line for standard error
  RunMode mode = RunMode::kMission;
  std::vector<std::string> paths;
  std::optional<std::string> dyno_folder;  // --dyno
  bool check = false;                      // --check
  bool merge = false;                      // --merge
  bool each = false;                       // --each
  bool watch = false;                      // --watch
  BackupOptions backup;                    // -b, --backup, --suffix
  platform::BackupPolicy backup_policy;    // what they ask for, with the environment's
};

/// Reads the arguments after the program (`args[0]`). Words that are no
/// option are mode words or paths, folded to lower case as the game's
/// Windows tools fold them; an argument that starts with '-' is an option
/// unless it names an existing file or follows "--". --help and --version
/// answer whatever else the line holds.
CommandLine ReadCommandLine(const std::vector<std::string>& args);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_COMMAND_LINE_H_
