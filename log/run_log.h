// The run log: a text file beside the executable to which every run appends a
// header and every message. Each message is also echoed to the console with
// one added line break. The file is opened and closed for every write, so it
// is complete after each message even if the process stops. The console is
// an ordinary stream: line-buffered on a terminal, so each message shows at
// once; redirected, buffered, and flushed before the error stream is written
// to (here and by the driver) and at exit.
#ifndef VEXLAR_LOG_RUN_LOG_H_
#define VEXLAR_LOG_RUN_LOG_H_

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/printf_format.h"
#include "vexlar_version.h"

namespace vexlar {

/// The program as the log header and --version show it: version 1.0.10 of
/// the project is "1.00" with the build number 10, shown as 1.00.10.
struct ProgramInfo {
  std::string name = "vexlar";
  std::string version = VersionText(VEXLAR_VERSION_MAJOR, VEXLAR_VERSION_MINOR);
  int build = VEXLAR_VERSION_PATCH;
  std::tm start_time{};

  /// "<major>.<minor as two digits>".
  static std::string VersionText(int major, int minor) {
    return std::to_string(major) + "." + (minor < 10 ? "0" : "") + std::to_string(minor);
  }
};

/// The log path for an executable path: everything before the last '.' of
/// its file name (the part after the last '\' or '/'; a '.' at the file
/// name's first character counts as none), then ".log". "C:\tools\vexlar.exe"
/// gives "C:\tools\vexlar.log", "C:\a.b\vexlar" "C:\a.b\vexlar.log".
std::string LogPathFor(std::string_view executable_path);

class RunLog {
 public:
  /// Messages go to the file at `path` and to `console`, which must outlive
  /// the log. A quiet log (for --check) drops every message but Error's.
  RunLog(std::string path, std::FILE* console, bool quiet = false);

  /// Appends the five header lines to the file only.
  void WriteHeader(const ProgramInfo& info);

  /// Appends `text` as it stands and echoes it followed by "\n".
  void Line(std::string_view text);

  /// printf-style Line(); the text is cut at 511 characters. Values are
  /// passed as arguments, never as the format.
  void Format(const char* format, ...) VEXLAR_PRINTF(2, 3);

  /// Format() for a message that ends the run: shown by a quiet log too.
  void Error(const char* format, ...) VEXLAR_PRINTF(2, 3);

  /// Appends `text` to the file only.
  void AppendToFile(std::string_view text);

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::FILE* console_;
  void Show(std::string_view text);

  bool quiet_;
  bool reported_unwritable_ = false;
};

}  // namespace vexlar

#endif  // VEXLAR_LOG_RUN_LOG_H_
