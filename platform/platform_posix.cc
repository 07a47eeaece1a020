// POSIX side of the platform layer. Paths use '/'; the file system may tell
// letter case apart, so names are matched without regard to case when the
// exact name does not exist (the driver folds command-line paths to lower
// case, as the game's own tools on Windows did).
#include <fcntl.h>
#include <strings.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/platform.h"

namespace vexlar::platform {
namespace fs = std::filesystem;

const char kSeparator = '/';

namespace {

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// The entry of `folder` named `name` without regard to ASCII case, the first
// in byte order; or nothing.
std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
  std::optional<std::string> best;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string entry = it->path().filename().string();
    // strcasecmp folds ASCII letters only: the program keeps the C locale.
    if (::strcasecmp(entry.c_str(), name.c_str()) == 0 && (!best || entry < *best)) {
      best = std::move(entry);
    }
  }
  return best;
}

}  // namespace

std::optional<std::string> FullPath(std::string_view path) {
  std::string joined;
  if (path.empty() || path.front() != '/') {
    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    if (ec) return std::nullopt;
    joined = cwd.string();
    joined += '/';
  }
  joined += path;

  std::vector<std::string_view> parts;
  std::string_view rest = joined;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string full;
  for (std::string_view part : parts) {
    full += '/';
    full += part;
  }
  if (full.empty() || (!path.empty() && path.back() == '/')) full += '/';
  if (full.size() > kMaxFullPath) return std::nullopt;
  return full;
}

std::string ResolveNameCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  std::string resolved;
  std::size_t start = 0;
  if (path.front() == '/') {
    resolved = "/";
    start = 1;
  }
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    const std::string part = path.substr(start, slash - start);
    if (!part.empty() && part != "." && part != "..") {
      const std::string candidate = resolved + part;
      if (!Exists(candidate)) {
        if (std::optional<std::string> match = FindIgnoringCase(resolved, part)) {
          resolved += *match;
        } else {
          resolved += part;
        }
      } else {
        resolved = candidate;
      }
    } else {
      resolved += part;
    }
    if (slash < path.size()) resolved += '/';
    start = slash + 1;
  }
  return resolved;
}

void FileCloser::operator()(std::FILE* file) const { std::fclose(file); }

FilePtr OpenRegularFile(const std::string& path, std::uintmax_t* size) {
  const std::string resolved = ResolveNameCase(path);
  std::error_code ec;
  if (!fs::is_regular_file(resolved, ec)) return nullptr;
  *size = fs::file_size(resolved, ec);
  if (ec) return nullptr;
  return FilePtr(std::fopen(resolved.c_str(), "rb"));
}

FilePtr OpenTextFile(const std::string& path, const char* mode) {
  const std::string resolved = ResolveNameCase(path);
  std::error_code ec;
  if (fs::is_directory(resolved, ec)) return nullptr;
  return FilePtr(std::fopen(resolved.c_str(), mode));
}

bool AppendToTextFile(const std::string& path, std::string_view text) {
  // The run log is appended to for every message. When the file exists under
  // its exact name, a single open does what resolving the name and testing
  // for a folder (which cannot be opened for writing) would; no stream is
  // set up for the one write.
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    const std::string resolved = ResolveNameCase(path);
    fd = ::open(resolved.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
  }
  bool whole = true;
  while (!text.empty()) {
    const ssize_t wrote = ::write(fd, text.data(), text.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      whole = false;
      break;
    }
    text.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return ::close(fd) == 0 && whole;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  return std::rename(ResolveNameCase(from).c_str(), ResolveNameCase(to).c_str()) == 0;
}

void RemoveFile(const std::string& path) { std::remove(ResolveNameCase(path).c_str()); }

void IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

std::tm LocalTime(std::time_t when) {
  std::tm result{};
  localtime_r(&when, &result);
  return result;
}

}  // namespace vexlar::platform
