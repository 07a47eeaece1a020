// One conversion: read the source, expand its compositions, write
// mission.pld; for --check the same without the file, listing the findings.
// A conversion owns the objects it reads from its start to its end, so the
// driver can run one after another in one process.
#ifndef VEXLAR_DRIVER_CONVERSION_H_
#define VEXLAR_DRIVER_CONVERSION_H_

#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "log/run_log.h"
#include "platform/printf_format.h"
#include "writer/mission_writer.h"

namespace vexlar {

/// What one conversion is asked to do.
struct ConversionRequest {
  RunMode mode = RunMode::kMission;
  RunPaths paths;
  bool check = false;  // --check
  bool merge = false;  // --merge
};

/// Runs `request`. Its messages go to `log` (made quiet for --check: only the
/// errors that end a run show), its notes for the user to `errors`, after
/// `console` is flushed; --check's findings go to `console` and the log
/// file. Returns the exit status: 0 after a conversion, 1 when mission.pld
/// could not be written or the source not read; for --check 0 without
/// findings, 1 with, 2 when the source cannot be read.
int Convert(const ConversionRequest& request, RunLog* log, std::FILE* console, std::FILE* errors);

/// A note for the user on `errors`, after the messages so far on `console`
/// (a redirected console is buffered).
void Note(std::FILE* console, std::FILE* errors, const char* format, ...) VEXLAR_PRINTF(3, 4);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_CONVERSION_H_
