// Windows side of the platform layer: '\' paths, _fullpath, text-mode files
// that store a line end as CR LF. Names are matched by the file system
// without regard to case, so no matching of our own is needed.
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>

#include <atomic>

#include "platform/platform.h"

namespace vexlar::platform {

const char kSeparator = '\\';

namespace {

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::optional<std::string> FullPath(std::string_view path) {
  char buffer[kMaxFullPath + 1];
  const std::string text(path);
  if (_fullpath(buffer, text.c_str(), sizeof buffer) == nullptr) return std::nullopt;
  return std::string(buffer);
}

std::string ResolveNameCase(const std::string& path) { return path; }

void FileCloser::operator()(std::FILE* file) const { std::fclose(file); }

FilePtr OpenRegularFile(const std::string& path, std::uintmax_t* size) {
  if (IsDirectory(path)) return nullptr;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  // A file on disk only: a device name (NUL, CON, COM1) opens a device.
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get())));
  LARGE_INTEGER length;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &length)) return nullptr;
  *size = static_cast<std::uintmax_t>(length.QuadPart);
  return file;
}

bool AppendToTextFile(const std::string& path, std::string_view text) {
  if (IsDirectory(path)) return false;
  FilePtr file(std::fopen(path.c_str(), "a"));
  return file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
         std::fclose(file.release()) == 0;
}

namespace {

// The temporary file that a console break must remove, or null.
std::atomic<const char*> pending_temporary{nullptr};

BOOL WINAPI RemovePendingTemporary(DWORD) {
  if (const char* path = pending_temporary.load()) DeleteFileA(path);
  return FALSE;  // the default handler then ends the process
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) : target_(target) {
  if (IsDirectory(target_)) return;
  // pid and a counter make the name; a file that has it already, whoever
  // made it, is left alone and the next name is tried.
  const std::string stem = target_ + "." + std::to_string(GetCurrentProcessId()) + "-";
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int n = 0; handle == INVALID_HANDLE_VALUE && n < 1000; ++n) {
    temporary_ = stem + std::to_string(n) + ".tmp";
    // Shared for deletion only, so that a console break can remove it while
    // it is open.
    handle = CreateFileA(temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    temporary_.clear();
    return;
  }
  pending_temporary = temporary_.c_str();
  SetConsoleCtrlHandler(RemovePendingTemporary, TRUE);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_TEXT);
  if (fd < 0) {
    CloseHandle(handle);
    Discard();
    return;
  }
  stream_ = _fdopen(fd, "w");
  if (stream_ == nullptr) {
    _close(fd);
    Discard();
  }
}

ReplacementFile::~ReplacementFile() { Discard(); }

bool ReplacementFile::Commit() {
  if (stream_ == nullptr) return false;
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  // A read-only or locked target makes the move fail.
  if (!closed || !MoveFileExA(temporary_.c_str(), target_.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Discard();
    return false;
  }
  pending_temporary = nullptr;
  SetConsoleCtrlHandler(RemovePendingTemporary, FALSE);
  temporary_.clear();
  return true;
}

void ReplacementFile::Discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (temporary_.empty()) return;
  DeleteFileA(temporary_.c_str());
  pending_temporary = nullptr;
  SetConsoleCtrlHandler(RemovePendingTemporary, FALSE);
  temporary_.clear();
}

void IgnoreFailedWriteSignals() {}

std::tm LocalTime(std::time_t when) {
  std::tm result{};
  localtime_s(&result, &when);
  return result;
}

}  // namespace vexlar::platform
