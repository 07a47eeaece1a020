// Everything that differs between Windows and POSIX: the path separator,
// the command line, the running program's path, full-path resolution,
// finding files whose names differ in letter case, reading, appending to and
// replacing files, the console, signals, and local time. No other module
// tests the operating system. Paths and texts are UTF-8 on Windows too (the
// wide calls take them there); elsewhere they are the system's bytes.
#ifndef VEXLAR_PLATFORM_PLATFORM_H_
#define VEXLAR_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexlar::platform {

/// The folder separator of this platform: '\\' on Windows, '/' elsewhere.
/// Where the file formats say only the backslash counts, this one counts.
extern const char kSeparator;

/// The arguments of the process as UTF-8 texts, the program first. On
/// Windows they are taken from the wide command line, so any name a user
/// can type arrives whole; elsewhere they are `argv`.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

/// The value of the environment variable `name`, or nothing when unset.
std::optional<std::string> EnvironmentVariable(const char* name);

/// The absolute path of the running program's file, links resolved, as the
/// system tells it (/proc/self/exe, _NSGetExecutablePath,
/// GetModuleFileNameW); nothing where it cannot.
std::optional<std::string> RunningExecutable();

/// True when `a` and `b` name the same existing file.
bool SameFile(const std::string& a, const std::string& b);

/// True when `path` is a symbolic link (on Windows, any reparse point).
bool IsSymbolicLink(const std::string& path);

/// True when `path` is an existing folder, or a regular file.
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);

/// The longest full path, in characters, that resolution accepts.
constexpr std::size_t kMaxFullPath = 260;

/// Resolves `path` against the current directory into an absolute path.
/// POSIX: lexical (".", ".." and repeated separators are resolved; the file
/// need not exist). Windows: _fullpath, which also takes '/' as a separator;
/// its limit, MAX_PATH, counts the terminating NUL, so there the longest
/// result is one character shorter. Returns nothing when resolution fails
/// or the result is longer than kMaxFullPath characters.
std::optional<std::string> FullPath(std::string_view path);

/// The name that `path` really has on disk. On case-sensitive file systems
/// each component that does not exist under its exact name is matched against
/// the folder's entries without regard to ASCII letter case (the exact name
/// wins; among other matches the first in byte order). Components that match
/// nothing are kept as given, so the result also serves to create a file.
std::string ResolveNameCase(const std::string& path);

/// The largest file ReadWholeFile takes, in bytes (1 GiB). Missions and
/// composition files are far smaller; a larger file is refused rather than
/// held in memory whole.
constexpr std::uintmax_t kMaxReadSize = std::uintmax_t{1} << 30;

/// The bytes of a whole file. Its buffer is not cleared before the file is
/// read into it: a mission of hundreds of MB is written to memory once.
class FileBytes {
 public:
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  friend bool ReadWholeFile(const std::string& path, FileBytes* bytes);
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
};

/// Reads a whole regular file in binary into `bytes`. Returns false, with
/// `bytes` as it was, when the file cannot be opened, is no regular file (a
/// directory, a pipe, a device), is larger than kMaxReadSize, or cannot be
/// read completely.
bool ReadWholeFile(const std::string& path, FileBytes* bytes);

struct FileCloser {
  void operator()(std::FILE* file) const;
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

/// Opens `path` for binary reading when it is a regular file, and sets
/// `*size` to its size. Returns null for anything else: a missing file, a
/// directory, a pipe or a device, which could make a read wait or never end.
FilePtr OpenRegularFile(const std::string& path, std::uintmax_t* size);

/// Appends `text` to the text file `path`, creating it when missing, and
/// closes it again. Line ends written as "\n" are stored as CR LF on
/// Windows. Returns false when the file cannot be opened or `text` was not
/// stored whole.
bool AppendToTextFile(const std::string& path, std::string_view text);

/// What tells one version of a file from another: its size, its time of
/// last modification (to the nanosecond where the system keeps it), and its
/// identity (device and inode; on Windows volume and file index). A file
/// written again, or replaced by another, has another stamp.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;  // since the system's epoch
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  bool operator==(const FileStamp& o) const {
    return size == o.size && modified_ns == o.modified_ns && device == o.device && file == o.file;
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

/// The stamp of the file `path` finally names (links followed); nothing
/// when there is none.
std::optional<FileStamp> StampOf(const std::string& path);

/// Whether and how ReplacementFile keeps the file it replaces, by the
/// rules of the --backup option: a numbered backup is "<name>.~N~", one
/// more than the highest N beside it, and never replaces another file; a
/// simple one is "<name><suffix>" and replaces an older simple backup.
struct BackupPolicy {
  enum Control { kNone, kSimple, kExisting, kNumbered };
  Control control = kNone;
  /// For simple backups; holds no folder separator and is not empty.
  std::string suffix = "~";
  /// No backup when the file about to be replaced has this stamp: it is the
  /// file this process wrote last, so it holds nothing new.
  std::optional<FileStamp> skip_when;
};

/// A text file that replaces `target` only once it is complete. It is
/// written under a temporary name of its own beside the file it replaces:
/// "<name>.<process id>-<n>.tmp", created exclusively, so that no other
/// file or link is ever opened, and renamed over the target by Commit().
/// The temporary file is removed when the object goes without a commit, and
/// when SIGINT or SIGTERM (on Windows, a console break) ends the process
/// while it exists. A linked or read-only target:
/// - POSIX: when `target` is a symbolic link, the file it finally names is
///   replaced (the temporary file is made beside that file) and the link
///   stays; the replaced file keeps its permission bits, so a read-only
///   file is replaced and stays read-only (renaming needs only a writable
///   folder).
/// - Windows: `target` itself is replaced. A symbolic link named `target`
///   is replaced by the new file and the file it named is left as it was;
///   the new file gets the folder's default attributes and permissions, not
///   the old file's. A read-only target is not replaced:
///   Commit() fails, the old file stays and the temporary file is removed.
class ReplacementFile {
 public:
  /// kText stores "\n" as CR LF on Windows; kBinary stores bytes as given.
  enum Mode { kText, kBinary };
  /// `backup` says whether the file replaced is kept; the backup goes
  /// beside `target` under its name, also when `target` is a link (it then
  /// holds the bytes of the file the link names).
  explicit ReplacementFile(const std::string& target, Mode mode = kText, BackupPolicy backup = {});
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  /// The stream to write to; null when
  /// no temporary file could be made: the target is a dangling link, a link
  /// loop or a folder, or its folder cannot be written.
  std::FILE* stream() const { return stream_; }

  /// Closes the stream, makes the backup the policy asks for (only when
  /// there is an old regular file), and renames the temporary file over the
  /// target. Returns false, with the temporary file removed, no backup made
  /// and the target as it was, when a write, the close, the backup or the
  /// rename failed.
  bool Commit();

  /// After Commit(): the backup made, or "" when none was.
  const std::string& backup_path() const { return backup_path_; }
  /// After a failed Commit(): the backup name that could not be made, or ""
  /// when the backup was not what failed.
  const std::string& failed_backup() const { return failed_backup_; }
  /// After a successful Commit(): the stamp of the file written, when the
  /// system told it.
  const std::optional<FileStamp>& written_stamp() const { return written_stamp_; }

 private:
  void Discard();

  std::string shown_;      // the target as named, beside which a backup goes
  std::string target_;     // the file to replace, links resolved
  std::string temporary_;  // empty when none was made
  std::FILE* stream_ = nullptr;
  BackupPolicy backup_;
  std::string backup_path_;
  std::string failed_backup_;
  std::optional<FileStamp> written_stamp_;
};

/// Hands what was written to `stream` so far to the system to store, without
/// waiting for it. ext4 stores a file renamed over another before the rename
/// returns: a mission of hundreds of megabytes handed over along the way is
/// not stored all at once there. Does nothing where no such call exists.
void StartWriteBack(std::FILE* stream);

/// Makes a write that cannot go on fail with an error rather than end the
/// process: a write to a pipe nobody reads any more (SIGPIPE), so that
/// `vexlar m.kolvo | head -1` still converts, and a write past a file-size
/// limit (SIGXFSZ), which then fails like a full disk. Windows has neither
/// signal.
void IgnoreFailedWriteSignals();

/// `text` with each line end as a text stream of this platform stores it:
/// CR LF on Windows, LF elsewhere.
std::string TextLineEnds(std::string_view text);

/// Writes `text` to `console` as it stands. On Windows a real console gets
/// the characters themselves (WriteConsoleW); a pipe or a file gets the
/// bytes, as everywhere else.
void WriteConsole(std::FILE* console, std::string_view text);

/// From now on SIGINT and SIGTERM (on Windows, a console break) do not end
/// the process: the first is recorded for Interrupted(), so that a loop can
/// end cleanly once its work in progress is done, and a ReplacementFile
/// being written is still completed. A second one ends the process at once,
/// removing the temporary file being written.
void DeferInterrupts();
/// Whether an interrupt came since DeferInterrupts.
bool Interrupted();
/// Sleeps for about `milliseconds`; an interrupt cuts it short.
void Pause(unsigned milliseconds);

/// What the system tells of the console the process runs in.
struct ConsoleFacts {
  /// The console was made for this process alone: started from Explorer
  /// (a double-click, a file dropped onto it, "Send to", a shortcut), its
  /// window closes when the process ends. Never so on POSIX.
  bool own_window = false;
  bool input_is_console = false;   // standard input reads the console
  bool output_is_console = false;  // standard output writes to it
};
ConsoleFacts DescribeConsole();

/// Whether the program ends by waiting for a key: only in a console window
/// of its own whose input and output both are that console. Started from a
/// command prompt, a script or another program, or with its input or
/// output redirected, it never waits.
constexpr bool WaitsForKey(const ConsoleFacts& facts) {
  return facts.own_window && facts.input_is_console && facts.output_is_console;
}

/// Writes "Press any key to close this window." to `console` and waits for
/// one key press on the console. Does nothing on POSIX.
void WaitForKey(std::FILE* console);

/// Broken-down local time of `when`.
std::tm LocalTime(std::time_t when);

}  // namespace vexlar::platform

#endif  // VEXLAR_PLATFORM_PLATFORM_H_
