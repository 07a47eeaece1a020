// The state of one run that the driver fills and the converter reads: the
// conversion mode and the paths.
#ifndef VEXLAR_DRIVER_RUN_STATE_H_
#define VEXLAR_DRIVER_RUN_STATE_H_

#include <cstdint>
#include <string>

namespace vexlar {

/// Which section of mission.pld receives the converted content.
using RunMode = std::uint16_t;
constexpr RunMode kModeIntro = 0;
constexpr RunMode kModeMission = 1;  // the default
constexpr RunMode kModeWin = 2;
constexpr RunMode kModeLoose = 3;

struct RunPaths {
  std::string log_path;
  /// Full path of the source file, folded to lower case.
  std::string source_path;
  /// Folder of the executable, ending in the platform separator; may be
  /// empty, and then files beside it are looked up in the current directory.
  std::string program_directory;
};

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_RUN_STATE_H_
