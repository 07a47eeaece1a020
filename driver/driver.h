// The run driver: command line, mode, paths, the test of the file's kind and
// the conversion itself: read the source, expand the compositions, write the
// mission. Only the driver decides the exit status.
#ifndef VEXLAR_DRIVER_DRIVER_H_
#define VEXLAR_DRIVER_DRIVER_H_

#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vexlar {

enum class SourceFileKind { kUnsupported, kKolvo, kPld };

/// The paths of one run, filled by the driver.
struct RunPaths {
  std::string log_path;
  /// Full path of the source file, folded to lower case.
  std::string source_path;
  /// Folder of the executable, ending in the platform separator; may be
  /// empty, and then files beside it are looked up in the current directory.
  std::string program_directory;
  /// Folder of DynO.cpp and the DynO folder, ending in the separator or empty.
  std::string data_directory;
};

/// What a run gets from the process around it.
struct RunContext {
  std::FILE* console = stdout;  // the messages, which also go to the log
  std::FILE* errors = stderr;   // notes for the user that are no messages
  std::tm start_time{};         // when the process started, for the log
  /// The local time now, for the log header of each run after the first in
  /// one process; without it, every run shows start_time.
  std::function<std::tm()> local_time;
  /// The running program's absolute path, when the system tells it.
  std::optional<std::string> running_executable;
  /// The folder of the composition data named by VEXLAR_DYNO, when set.
  std::optional<std::string> dyno_folder;
  /// Started in a console window of its own (from Explorer), which closes
  /// when the program ends: several files are several runs, and a start
  /// without a file tells how to give one.
  bool own_console = false;
  /// VERSION_CONTROL and SIMPLE_BACKUP_SUFFIX, when set: what --backup
  /// does without a control, and the simple backups' suffix.
  std::optional<std::string> version_control;
  std::optional<std::string> simple_backup_suffix;
};

/// Sets the context's fields that come from environment variables, each
/// looked up by `variable` (which gives nothing for an unset one).
void ReadEnvironment(const std::function<std::optional<std::string>(const char*)>& variable,
                     RunContext* context);

/// The folder of the executable, ending in the platform separator. When
/// `executable_path` (as the process received it) holds a separator and
/// names the running file itself, or the running file is not known: the
/// path up to its last separator, or, without one, the folder of its full
/// path ("" when that fails). Otherwise, as for a program started through
/// PATH or a link: the folder of `running_executable`.
std::string ProgramDirectoryFor(std::string_view executable_path,
                                const std::optional<std::string>& running_executable);

/// The kind of a file by the extension of its full path (already folded to
/// lower case): after the last '.', when no '\' or '/' follows that '.'.
SourceFileKind SourceFileKindOf(std::string_view full_path);

/// Runs vexlar on `args` (the executable path first, as the process received
/// it): one run, or with --each one run per path. Messages go to the run log
/// and to the context's console. Returns the exit status: 0 after a
/// conversion or --help/--version, 1 after an error message, 2 after a
/// command line that could not be read; of several runs, the highest.
int RunVexlar(std::vector<std::string> args, const RunContext& context);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_DRIVER_H_
