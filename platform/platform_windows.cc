// Windows side of the platform layer: '\' paths, full paths by _wfullpath,
// text-mode files that store a line end as CR LF. Every path is UTF-8 inside
// the program and goes to the system through the wide (UTF-16) calls, so a
// name in any script works. Names are matched by the file system without
// regard to case, so no matching of our own is needed.
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>
// <windows.h> maps WriteConsole to WriteConsoleA or ...W; ours is another.
#undef WriteConsole

#include <shellapi.h>

#include <atomic>
#include <utility>

#include "platform/backup.h"
#include "platform/platform.h"

namespace vexlar::platform {

const char kSeparator = '\\';

namespace {

std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                      nullptr, nullptr);
  return text;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

FilePtr Open(const std::string& path, const wchar_t* mode) {
  return FilePtr(_wfopen(Wide(path).c_str(), mode));
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::optional<std::string> EnvironmentVariable(const char* name) {
  const wchar_t* value = _wgetenv(Wide(name).c_str());
  if (value == nullptr) return std::nullopt;
  return Utf8(value);
}

std::optional<std::string> RunningExecutable() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return Utf8(path);
    }
    path.resize(2 * path.size());
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2];
  const std::string* paths[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    const HANDLE handle = CreateFileW(Wide(*paths[i]).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const BOOL got = GetFileInformationByHandle(handle, &info[i]);
    CloseHandle(handle);
    if (!got) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
         info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool IsSymbolicLink(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> FullPath(std::string_view path) {
  wchar_t buffer[kMaxFullPath + 1];
  if (_wfullpath(buffer, Wide(path).c_str(), kMaxFullPath + 1) == nullptr) return std::nullopt;
  return Utf8(buffer);
}

std::string ResolveNameCase(const std::string& path) { return path; }

void FileCloser::operator()(std::FILE* file) const { std::fclose(file); }

FilePtr OpenRegularFile(const std::string& path, std::uintmax_t* size) {
  if (IsDirectory(path)) return nullptr;
  FilePtr file = Open(path, L"rb");
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
  FilePtr file = Open(path, L"a");
  return file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
         std::fclose(file.release()) == 0;
}

std::optional<FileStamp> StampOf(const std::string& path) {
  // Opened for its attributes only, and shared every way: a file open in
  // another program can still be looked at.
  const HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL got = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!got) return std::nullopt;
  FileStamp stamp;
  stamp.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  // In units of 100 ns since 1601.
  const std::uint64_t ticks = (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                              info.ftLastWriteTime.dwLowDateTime;
  stamp.modified_ns = static_cast<std::int64_t>(ticks) * 100;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.file = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return stamp;
}

LinkResult LinkOrCopy(const std::string& from, const std::string& to) {
  const std::wstring source = Wide(from), name = Wide(to);
  // A hard link to a link would be a link again; a copy takes what it names.
  if (!IsSymbolicLink(from) && CreateHardLinkW(name.c_str(), source.c_str(), nullptr)) {
    return LinkResult::kMade;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) return LinkResult::kExists;
  if (CopyFileW(source.c_str(), name.c_str(), TRUE)) return LinkResult::kMade;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? LinkResult::kExists
                                                                     : LinkResult::kFailed;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

EntryKind EntryKindOf(const std::string& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::kNone;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kOther;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW(Wide((folder.empty() ? ".\\" : folder) + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(Utf8(entry.cFileName));
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return names;
}

unsigned long ProcessNumber() { return GetCurrentProcessId(); }

namespace {

// The temporary file that a console break must remove, or null; the
// break's handler runs on a thread of its own.
std::wstring pending_path;
std::atomic<const wchar_t*> pending_temporary{nullptr};

BOOL WINAPI RemovePendingTemporary(DWORD) {
  if (const wchar_t* path = pending_temporary.load()) DeleteFileW(path);
  return FALSE;  // the default handler then ends the process
}

// Set by DeferInterrupts: the handler below then stands for the whole run,
// and a ReplacementFile registers none of its own.
std::atomic<bool> interrupts_deferred{false};
std::atomic<bool> interrupted{false};
HANDLE interrupt_event = nullptr;  // set on a break, so that Pause wakes

BOOL WINAPI RecordInterrupt(DWORD) {
  if (!interrupted.exchange(true)) {
    SetEvent(interrupt_event);
    return TRUE;
  }
  // The second break ends the process at once, as without DeferInterrupts.
  return RemovePendingTemporary(0);
}

void Forget() {
  pending_temporary = nullptr;
  if (!interrupts_deferred) SetConsoleCtrlHandler(RemovePendingTemporary, FALSE);
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target, Mode mode, BackupPolicy backup)
    : shown_(target), target_(target), backup_(std::move(backup)) {
  // pid and a counter make the name; a file that has it already, whoever
  // made it, is left alone and the next name is tried.
  const std::string stem = target_ + "." + std::to_string(ProcessNumber()) + "-";
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int n = 0; handle == INVALID_HANDLE_VALUE && n < 1000; ++n) {
    temporary_ = stem + std::to_string(n) + ".tmp";
    // Shared for deletion only, so that a console break can remove it while
    // it is open.
    handle = CreateFileW(Wide(temporary_).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    temporary_.clear();
    return;
  }
  pending_path = Wide(temporary_);
  pending_temporary = pending_path.c_str();
  if (!interrupts_deferred) SetConsoleCtrlHandler(RemovePendingTemporary, TRUE);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                 _O_WRONLY | (mode == kText ? _O_TEXT : _O_BINARY));
  if (fd < 0) {
    CloseHandle(handle);
    Discard();
    return;
  }
  stream_ = _fdopen(fd, mode == kText ? "w" : "wb");
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
  // A read-only or locked target makes the move fail. Wine's move replaces
  // a read-only target, so the attribute is looked at first, before any
  // backup is made.
  const DWORD attributes = Attributes(target_);
  const bool read_only =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  PendingBackup backup;
  const bool backed_up = closed && !read_only && backup.Make(shown_, target_, backup_);
  if (closed && !read_only && !backed_up) failed_backup_ = backup.name();
  if (!backed_up || !MoveFileExW(Wide(temporary_).c_str(), Wide(target_).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    backup.Undo();
    Discard();
    return false;
  }
  backup.Keep();
  backup_path_ = backup.name();
  // NTFS may settle the time of the last write only when the file is
  // closed, so the stamp is taken from the file in its place.
  written_stamp_ = StampOf(target_);
  Forget();
  temporary_.clear();
  return true;
}

void ReplacementFile::Discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (temporary_.empty()) return;
  DeleteFileW(Wide(temporary_).c_str());
  Forget();
  temporary_.clear();
}

void StartWriteBack(std::FILE*) {}

void IgnoreFailedWriteSignals() {}

std::string TextLineEnds(std::string_view text) {
  std::string native;
  native.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') native += '\r';
    native += c;
  }
  return native;
}

void WriteConsole(std::FILE* console, std::string_view text) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(console)));
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    std::fflush(console);
    // The console shows the characters; its line ends need no CR.
    const std::wstring wide = Wide(text);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), console);
}

std::tm LocalTime(std::time_t when) {
  std::tm result{};
  localtime_s(&result, &when);
  return result;
}

void DeferInterrupts() {
  interrupt_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  interrupts_deferred = true;
  SetConsoleCtrlHandler(RecordInterrupt, TRUE);
}

bool Interrupted() { return interrupted; }

void Pause(unsigned milliseconds) {
  if (interrupt_event != nullptr) {
    WaitForSingleObject(interrupt_event, milliseconds);
  } else {
    Sleep(milliseconds);
  }
}

namespace {

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

ConsoleFacts DescribeConsole() {
  // A console shared with a command prompt lists two processes or more.
  DWORD processes[2];
  ConsoleFacts facts;
  facts.own_window = GetConsoleProcessList(processes, 2) == 1;
  facts.input_is_console = IsConsole(STD_INPUT_HANDLE);
  facts.output_is_console = IsConsole(STD_OUTPUT_HANDLE);
  return facts;
}

void WaitForKey(std::FILE* console) {
  WriteConsole(console, "\nPress any key to close this window.");
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  // Keys pressed while the program ran do not count.
  FlushConsoleInputBuffer(input);
  INPUT_RECORD record;
  DWORD read = 0;
  while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

}  // namespace vexlar::platform
