// Helpers shared by the tests: a temporary folder that removes itself, whole
// file reads and writes, and a run of the whole program in this process.
#ifndef VEXLAR_TESTS_TEST_UTIL_H_
#define VEXLAR_TESTS_TEST_UTIL_H_

#include <string>
#include <vector>

namespace vexlar::test {

/// A fresh, empty folder with a lower-case name; removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  /// The folder's path followed by `name`, whose '/' become the platform's
  /// separator ("" gives the path with a trailing separator).
  std::string Path(const std::string& name = "") const;

 private:
  std::string path_;
};

/// The file's text, read in text mode: a line end that the platform stores as
/// CR LF reads as "\n", so text written by vexlar reads the same everywhere.
std::string ReadFile(const std::string& path);
/// Writes `bytes` exactly (binary), creating the folders on the way.
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

struct RunResult {
  int status = -1;
  std::string console;
  std::string log;  // the whole log file
  /// The log without the header's five lines, of the last run only.
  std::string log_body;
};

/// Runs vexlar in this process as if started as `executable` with `args`.
RunResult RunInProcess(const std::string& executable, const std::vector<std::string>& args);

}  // namespace vexlar::test

#endif  // VEXLAR_TESTS_TEST_UTIL_H_
