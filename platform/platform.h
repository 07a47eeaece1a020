// Everything that differs between Windows and POSIX: the path separator,
// full-path resolution, finding files whose names differ in letter case,
// opening, replacing and removing files, and local time. No other module
// tests the operating system.
#ifndef VEXLAR_PLATFORM_PLATFORM_H_
#define VEXLAR_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vexlar::platform {

/// The folder separator of this platform: '\\' on Windows, '/' elsewhere.
/// Where the file formats say only the backslash counts, this one counts.
extern const char kSeparator;

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

/// Reads a whole regular file in binary into `bytes`. Returns false when the
/// file cannot be opened, is no regular file (a directory, a pipe, a
/// device), is larger than kMaxReadSize, or cannot be read completely.
bool ReadWholeFile(const std::string& path, std::string* bytes);

struct FileCloser {
  void operator()(std::FILE* file) const;
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

/// Opens `path` for binary reading when it is a regular file, and sets
/// `*size` to its size. Returns null for anything else: a missing file, a
/// directory, a pipe or a device, which could make a read wait or never end.
FilePtr OpenRegularFile(const std::string& path, std::uintmax_t* size);

/// Opens `path` as a text stream: mode "a" (append) or "w" (create or
/// replace). Line ends written as "\n" are stored as CR LF on Windows.
/// Returns null when the file cannot be opened or `path` is a directory.
FilePtr OpenTextFile(const std::string& path, const char* mode);

/// Appends `text` to the text file `path`, creating it when missing, and
/// closes it again; line ends as OpenTextFile stores them. Returns false
/// when the file cannot be opened or `text` was not stored whole.
bool AppendToTextFile(const std::string& path, std::string_view text);

/// Renames `from` over `to`, replacing an existing file. Returns false on
/// failure; `to` is then unchanged.
bool ReplaceFile(const std::string& from, const std::string& to);

/// Removes a file; a missing file is no error.
void RemoveFile(const std::string& path);

/// Makes a write to a pipe that nobody reads any more fail with an error
/// rather than end the process (SIGPIPE on POSIX; Windows has no such
/// signal), so that `vexlar m.kolvo | head -1` still converts.
void IgnoreBrokenPipe();

/// Broken-down local time of `when`.
std::tm LocalTime(std::time_t when);

}  // namespace vexlar::platform

#endif  // VEXLAR_PLATFORM_PLATFORM_H_
