// Helpers shared by the tests: a temporary folder that removes itself, whole
// file reads and writes, a run of the whole program in this process, and a
// folder laid out for one conversion.
#ifndef VEXLAR_TESTS_TEST_UTIL_H_
#define VEXLAR_TESTS_TEST_UTIL_H_

#include <string>
#include <utility>
#include <vector>

namespace vexlar::test {

/// A fresh, empty folder in `parent` (by default the system's temporary
/// folder); removed with everything in it.
class TempFolder {
 public:
  explicit TempFolder(const std::string& parent = "");
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
/// CR LF reads as "\n", so text written by vexlar reads the same everywhere;
/// or, `binary`, its bytes as they stand.
std::string ReadFile(const std::string& path, bool binary = false);
/// Writes `bytes` exactly (binary), creating the folders on the way.
void WriteFile(const std::string& path, const std::string& bytes);
/// `text` with every `from` replaced by `to`.
std::string Replace(std::string text, const std::string& from, const std::string& to);

struct RunResult {
  int status = -1;
  std::string console;
  std::string errors;    // standard error
  std::string log;       // the whole log file
  std::string log_body;  // the last run's part of the log, without its five header lines
};

/// Environment variables as name and value; a run sees only these.
using Environment = std::vector<std::pair<std::string, std::string>>;

/// Runs vexlar in this process as if started as `executable` with `args`; the
/// start time is always 11.10.2008 14:20:05.
RunResult RunInProcess(const std::string& executable, const std::vector<std::string>& args,
                       const Environment& environment = {});

/// One object of a .kolvo file; `arguments` are whole lines.
std::string KolvoObject(const std::string& header, const std::string& type,
                        const std::string& arguments);

/// The files of one conversion in a fresh folder: bin/vexlar (only the
/// executable's path), bin/DynO.cpp with the type camp, whose script
/// bin/DynO/Camp.txt (named "camp.txt" in the config) makes two vehicles, and
/// M/Attack.kolvo with a camp and a marker, beside an older M/Mission.pld
/// that says "keep me". The driver folds the source path to lower case: on
/// POSIX every run finds the source, the script and mission.pld through
/// names that differ in case.
struct Surroundings : TempFolder {
  static constexpr const char* kConfig = "bin/DynO.cpp";
  static constexpr const char* kScript = "bin/DynO/Camp.txt";
  static constexpr const char* kSource = "M/Attack.kolvo";
  static constexpr const char* kMission = "M/Mission.pld";
  static const std::string kConfigText, kScriptText, kSourceText;
  Surroundings();
  std::string executable = Path("bin/vexlar"), source = Path(kSource), mission = Path(kMission);
};

}  // namespace vexlar::test

#endif  // VEXLAR_TESTS_TEST_UTIL_H_
