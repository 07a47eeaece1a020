// One conversion: read the source, expand its compositions, write
// mission.pld; for --check the same without the file, listing the findings.
// A conversion owns the objects it reads from its start to its end, so the
// driver can run one after another in one process.
#ifndef VEXLAR_DRIVER_CONVERSION_H_
#define VEXLAR_DRIVER_CONVERSION_H_

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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
  /// --backup: whether and how the mission.pld replaced is kept; not when it
  /// has backup.skip_when, the stamp of the one the watch wrote last.
  platform::BackupPolicy backup;
  /// For a watch: the stamp the source had once it settled. A source that no
  /// longer has it when it has been read is not converted.
  std::optional<platform::FileStamp> settled_source;
};

/// What a conversion tells a watch: the files it read or tried to read, the
/// source first, and the stamp of the mission.pld it wrote, if it did.
struct ConversionReport {
  std::vector<std::string> inputs;
  std::optional<platform::FileStamp> written;
};

/// The status of a conversion whose source changed after it had settled.
constexpr int kSourceChanged = -1;

/// Runs `request`. Its messages go to `log` (made quiet for --check: only the
/// errors that end a run show), its notes for the user to `errors`, after
/// `console` is flushed; --check's findings go to `console` and the log
/// file. Returns the exit status: 0 after a conversion, 1 when mission.pld
/// could not be written or the source not read; for --check 0 without
/// findings, 1 with, 2 when the source cannot be read; kSourceChanged.
/// `report`, when given, gets what a watch needs to know.
int Convert(const ConversionRequest& request, RunLog* log, std::FILE* console, std::FILE* errors,
            ConversionReport* report = nullptr);

/// A note for the user on `errors`, after the messages so far on `console`
/// (a redirected console is buffered).
void Note(std::FILE* console, std::FILE* errors, const char* format, ...) VEXLAR_PRINTF(3, 4);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_CONVERSION_H_
