// The run driver: command line, mode, paths, the test of the file's kind and
// the conversion itself: read the source, expand the compositions, write the
// mission. Only the driver decides the exit status.
#ifndef VEXLAR_DRIVER_DRIVER_H_
#define VEXLAR_DRIVER_DRIVER_H_

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace vexlar {

class ObjectStore;

enum class SourceFileKind { kUnsupported, kKolvo, kPld };

/// The paths of one run, filled by the driver.
struct RunPaths {
  std::string log_path;
  /// Full path of the source file, folded to lower case.
  std::string source_path;
  /// Folder of the executable, ending in the platform separator; may be
  /// empty, and then files beside it are looked up in the current directory.
  std::string program_directory;
};

/// The folder of the executable, up to and including the last platform
/// separator of `executable_path`; without one, of its full path; else "".
std::string ProgramDirectoryFor(std::string_view executable_path);

/// The kind of a file by the extension of its full path (already folded to
/// lower case): after the last '.', when no '\' or '/' follows that '.'.
SourceFileKind SourceFileKindOf(std::string_view full_path);

/// Runs vexlar on `args` (the executable path first, as the process received
/// it). Messages go to the run log and to `console`; `start_time` is the
/// local time the process started. Returns the exit status: 0 after a
/// conversion or --help/--version, 1 after an error message.
int RunVexlar(std::vector<std::string> args, std::FILE* console, const std::tm& start_time);

/// The same, with the objects read kept in `store` (empty), which the caller
/// owns: the program hands in one that lives until the process ends.
int RunVexlar(std::vector<std::string> args, std::FILE* console, const std::tm& start_time,
              ObjectStore* store);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_DRIVER_H_
