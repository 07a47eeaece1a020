#include "log/run_log.h"

#include <algorithm>
#include <cstdarg>

#include "platform/platform.h"

namespace vexlar {

std::string LogPathFor(std::string_view executable_path) {
  // Only a '.' inside the file name starts an extension: a POSIX executable
  // has none, and cutting at a dot in a folder name (~/.local/bin/vexlar)
  // would put the log outside the program's folder, into some other file.
  const std::size_t separator = executable_path.find_last_of("\\/");
  const std::size_t name = separator == std::string_view::npos ? 0 : separator + 1;
  std::size_t dot = executable_path.rfind('.');
  if (dot <= name) dot = std::string_view::npos;  // none, in a folder name, or leading
  std::string path(executable_path.substr(0, dot));
  path += ".log";
  return path;
}

namespace {

// The text of a printf-style message, cut at 511 characters.
std::string FormatMessage(const char* format, va_list args) {
  char text[512];
  int length = std::vsnprintf(text, sizeof text, format, args);
  if (length < 0) length = 0;
  return std::string(text, std::min<std::size_t>(static_cast<std::size_t>(length), 511));
}

}  // namespace

RunLog::RunLog(std::string path, std::FILE* console, bool quiet)
    : path_(std::move(path)), console_(console), quiet_(quiet) {}

void RunLog::AppendToFile(std::string_view text) {
  if (platform::AppendToTextFile(path_, text)) return;
  // The console still gets every message; the failure is told once, on the
  // error stream, so that the console text stays as it is.
  if (!reported_unwritable_) {
    reported_unwritable_ = true;
    std::fflush(console_);  // the console's messages come first, as they happened
    std::fprintf(stderr, "vexlar: cannot write the log file %s\n", path_.c_str());
  }
}

void RunLog::WriteHeader(const ProgramInfo& info) {
  const std::tm& t = info.start_time;
  char time_line[128];
  std::snprintf(time_line, sizeof time_line, "//   Start time: %i.%i.%i %i:%i:%i\n", t.tm_mday,
                t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  const std::string rule = "//----------------------------------------------------\n";
  std::string header = rule;
  header += "//   Program: " + info.name + "\n";
  header += "//   Version: " + info.version + "." + std::to_string(info.build) + "\n";
  header += time_line;
  header += rule;
  AppendToFile(header);
}

void RunLog::Show(std::string_view text) {
  AppendToFile(text);
  platform::WriteConsole(console_, text);
  platform::WriteConsole(console_, "\n");
}

void RunLog::Line(std::string_view text) {
  if (!quiet_) Show(text);
}

void RunLog::Format(const char* format, ...) {
  if (quiet_) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatMessage(format, args);
  va_end(args);
  Show(text);
}

void RunLog::Error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatMessage(format, args);
  va_end(args);
  Show(text);
}

}  // namespace vexlar
