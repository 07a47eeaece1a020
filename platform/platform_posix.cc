// POSIX side of the platform layer. Paths use '/'; the file system may tell
// letter case apart, so names are matched without regard to case when the
// exact name does not exist (the driver folds command-line paths to lower
// case, as the game's own tools on Windows did).
#include <fcntl.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif
#include <strings.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/backup.h"
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

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> RunningExecutable() {
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string path(size, '\0');
  if (_NSGetExecutablePath(path.data(), &size) != 0) return std::nullopt;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string resolved(real);
  std::free(real);
  return resolved;
#elif defined(__linux__)
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(2 * path.size());
  }
#else
  return std::nullopt;
#endif
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool IsSymbolicLink(const std::string& path) {
  struct stat link;
  return ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(ResolveNameCase(path), ec);
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(ResolveNameCase(path), ec);
}

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

namespace {

// The temporary file that SIGINT or SIGTERM must remove, or null. Set only
// while those signals are blocked, and read by the handler.
std::atomic<const char*> pending_temporary{nullptr};
struct sigaction previous_int, previous_term;

extern "C" void RemovePendingTemporary(int signal_number) {
  if (const char* path = pending_temporary.load()) ::unlink(path);
  // The action is back to the default (SA_RESETHAND): the process ends as
  // that signal ends it.
  ::raise(signal_number);
}

// Set by DeferInterrupts: the handler below then stands for the whole run,
// and a ReplacementFile installs none of its own.
std::atomic<bool> interrupts_deferred{false};
std::atomic<bool> interrupted{false};

extern "C" void RecordInterrupt(int signal_number) {
  if (!interrupted.exchange(true)) return;
  // The second one ends the process at once, as without DeferInterrupts.
  if (const char* path = pending_temporary.load()) ::unlink(path);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

// Points SIGINT and SIGTERM at `handler`, unless the process was started to
// ignore them (a background job's SIGINT). `previous` get the old actions.
void HandleTermination(void (*handler)(int), int flags, struct sigaction* previous_int_action,
                       struct sigaction* previous_term_action) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, previous_int_action);
  sigaction(SIGTERM, &action, previous_term_action);
  if (previous_int_action->sa_handler == SIG_IGN) sigaction(SIGINT, previous_int_action, nullptr);
  if (previous_term_action->sa_handler == SIG_IGN)
    sigaction(SIGTERM, previous_term_action, nullptr);
}

void RestoreTermination() {
  if (interrupts_deferred) return;
  sigaction(SIGINT, &previous_int, nullptr);
  sigaction(SIGTERM, &previous_term, nullptr);
}

// Blocks SIGINT and SIGTERM for the object's life.
class TerminationBlocked {
 public:
  TerminationBlocked() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~TerminationBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  TerminationBlocked(const TerminationBlocked&) = delete;
  TerminationBlocked& operator=(const TerminationBlocked&) = delete;

 private:
  sigset_t previous_;
};

// The file that a write to `path` finally reaches: `path` itself, or the
// end of its chain of symbolic links; nothing for a dangling link or a loop.
std::optional<std::string> FinalTarget(const std::string& path) {
  struct stat link;
  if (::lstat(path.c_str(), &link) != 0) return path;  // a new file
  if (!S_ISLNK(link.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string target(real);
  std::free(real);
  return target;
}

FileStamp StampFrom(const struct stat& status) {
  FileStamp stamp;
  stamp.size = static_cast<std::uint64_t>(status.st_size);
#if defined(__APPLE__)
  const struct timespec& modified = status.st_mtimespec;
#else
  const struct timespec& modified = status.st_mtim;
#endif
  stamp.modified_ns = static_cast<std::int64_t>(modified.tv_sec) * 1000000000 + modified.tv_nsec;
  stamp.device = static_cast<std::uint64_t>(status.st_dev);
  stamp.file = static_cast<std::uint64_t>(status.st_ino);
  return stamp;
}

// Copies the regular file `from` into the new file `to`, created
// exclusively with `from`'s permission bits; a copy cut short is removed.
LinkResult CopyExclusive(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status {};
  if (in < 0 || ::fstat(in, &status) != 0) {
    if (in >= 0) ::close(in);
    return LinkResult::kFailed;
  }
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         status.st_mode & 07777);
  if (out < 0) {
    const bool exists = errno == EEXIST;
    ::close(in);
    return exists ? LinkResult::kExists : LinkResult::kFailed;
  }
  std::vector<char> buffer(1 << 16);
  bool whole = true;
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      whole = got == 0;
      break;
    }
    for (ssize_t done = 0; whole && done < got;) {
      const ssize_t wrote =
          ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (wrote < 0 && errno == EINTR) continue;
      whole = wrote > 0;
      if (whole) done += wrote;
    }
    if (!whole) break;
  }
  ::close(in);
  if (::close(out) != 0 || !whole) {
    ::unlink(to.c_str());
    return LinkResult::kFailed;
  }
  return LinkResult::kMade;
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return StampFrom(status);
}

LinkResult LinkOrCopy(const std::string& from, const std::string& to) {
  if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return LinkResult::kMade;
  }
  if (errno == EEXIST) return LinkResult::kExists;
  // Another file system, or one without hard links: a copy.
  return CopyExclusive(from, to);
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

EntryKind EntryKindOf(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return EntryKind::kNone;
  return S_ISDIR(status.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

unsigned long ProcessNumber() { return static_cast<unsigned long>(::getpid()); }

ReplacementFile::ReplacementFile(const std::string& target, Mode, BackupPolicy backup)
    : shown_(ResolveNameCase(target)), backup_(std::move(backup)) {
  const std::optional<std::string> final_target = FinalTarget(shown_);
  if (!final_target) return;
  target_ = *final_target;
  struct stat old;
  // A target that is no file (a folder) is still written to a temporary
  // file, so the run logs what it wrote; only the rename fails.
  const bool replaces = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);

  // pid and a counter make the name; a file that has it already, whoever
  // made it, is left alone and the next name is tried.
  const std::string stem = target_ + "." + std::to_string(ProcessNumber()) + "-";
  TerminationBlocked blocked;
  int fd = -1;
  for (int n = 0; fd < 0 && n < 1000; ++n) {
    temporary_ = stem + std::to_string(n) + ".tmp";
    fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    temporary_.clear();
    return;
  }
  if (replaces) ::fchmod(fd, old.st_mode & 07777);
  stream_ = ::fdopen(fd, "w");
  if (stream_ == nullptr) {
    ::close(fd);
    Discard();
    return;
  }
  pending_temporary = temporary_.c_str();
  // A signal the process was started to ignore stays ignored: the run
  // finishes as it would have without the file.
  if (!interrupts_deferred) {
    HandleTermination(RemovePendingTemporary, SA_RESETHAND, &previous_int, &previous_term);
  }
}

ReplacementFile::~ReplacementFile() { Discard(); }

bool ReplacementFile::Commit() {
  if (stream_ == nullptr) return false;
  // From here to the end the backup and the rename happen together or not
  // at all: a signal waits until both are done or undone.
  TerminationBlocked blocked;
  // Everything is written once the stream is flushed; closing and renaming
  // change neither the size nor the modification time.
  struct stat written {};
  const bool flushed = std::fflush(stream_) == 0;
  const bool stamped = flushed && ::fstat(fileno(stream_), &written) == 0;
  const bool closed = std::fclose(stream_) == 0 && flushed;
  stream_ = nullptr;
  PendingBackup backup;
  const bool backed_up = closed && backup.Make(shown_, target_, backup_);
  if (closed && !backed_up) failed_backup_ = backup.name();
  if (!backed_up || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    backup.Undo();
    Discard();
    return false;
  }
  backup.Keep();
  backup_path_ = backup.name();
  if (stamped) written_stamp_ = StampFrom(written);
  pending_temporary = nullptr;
  RestoreTermination();
  temporary_.clear();
  return true;
}

void ReplacementFile::Discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (temporary_.empty()) return;
  TerminationBlocked blocked;
  ::unlink(temporary_.c_str());
  if (pending_temporary.load() == temporary_.c_str()) {
    pending_temporary = nullptr;
    RestoreTermination();
  }
  temporary_.clear();
}

void StartWriteBack(std::FILE* stream) {
#if defined(__linux__)
  if (std::fflush(stream) == 0) ::sync_file_range(fileno(stream), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)stream;
#endif
}

void IgnoreFailedWriteSignals() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

std::string TextLineEnds(std::string_view text) { return std::string(text); }

void WriteConsole(std::FILE* console, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), console);
}

std::tm LocalTime(std::time_t when) {
  std::tm result{};
  localtime_r(&when, &result);
  return result;
}

void DeferInterrupts() {
  struct sigaction old_int, old_term;
  HandleTermination(RecordInterrupt, 0, &old_int, &old_term);
  interrupts_deferred = true;
}

bool Interrupted() { return interrupted; }

void Pause(unsigned milliseconds) {
  // A signal cuts the sleep short (EINTR), so an interrupt is seen at once.
  timespec span{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  ::nanosleep(&span, nullptr);
}

ConsoleFacts DescribeConsole() { return {}; }

void WaitForKey(std::FILE*) {}

}  // namespace vexlar::platform
