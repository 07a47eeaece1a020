// Windows side of the platform layer: '\' paths, _fullpath, text-mode files
// that store a line end as CR LF. Names are matched by the file system
// without regard to case, so no matching of our own is needed.
#include <io.h>
#include <stdlib.h>
#include <windows.h>

// <windows.h> maps ReplaceFile to ReplaceFileA; ours is another function.
#undef ReplaceFile

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

FilePtr OpenTextFile(const std::string& path, const char* mode) {
  if (IsDirectory(path)) return nullptr;
  return FilePtr(std::fopen(path.c_str(), mode));
}

bool AppendToTextFile(const std::string& path, std::string_view text) {
  FilePtr file = OpenTextFile(path, "a");
  return file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
         std::fclose(file.release()) == 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

void IgnoreBrokenPipe() {}

std::tm LocalTime(std::time_t when) {
  std::tm result{};
  localtime_s(&result, &when);
  return result;
}

}  // namespace vexlar::platform
