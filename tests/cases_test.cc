// The data cases: each folder under tests/cases/ (and under the folders named
// in VEXLAR_EXTRA_CASES, separated by ';') that holds an expect/ folder is one
// case and one test, Cases/DataCase.Run/<its path, '-' and '/' as '_'>
// (`ctest -R bundled_example`); its runs are made in this process and
// compared byte for byte:
//   cmd            one run per line, its arguments split on blanks; {M} is
//                  the mission folder (no trailing separator), {BIN} the
//                  program folder (with one); no cmd: one run, no arguments.
//                  Leading words NAME=VALUE (NAME in capitals, digits and
//                  '_') are the run's environment; a run sees no other
//   m/, bin/       files copied into the mission folder and beside the program
//   uses           lines "<folder in the case> <path in the repository>": more
//                  files or folders copied in, such as the bundled example
//   lf-only        when present, the case runs only as it stands; every other
//                  case runs twice, the second time (the test named with
//                  "_crlf") with every copied file given CR LF line ends, and
//                  must give the same expected files, since CR LF is one line
//                  end in every input. For a case whose expected output holds
//                  an input's bytes as they stand.
//   expect/status  the exit status of each run, in order (0 when missing)
//   expect/mission.pld (after the last run), expect/console,
//                  expect/errors (standard error), expect/log (each run's
//                  part after its five header lines): the runs' texts one
//                  after the other, compared when present;
//                  expect/no-mission: none may be written; expect/no-log: no
//                  run may write the log; expect/keep: files of m/ that must
//                  not change; expect/folder: the names in the mission
//                  folder after the last run, one a line in byte order,
//                  '/' after a folder's name and between names; expect/m/:
//                  files that the mission folder must then hold, byte for
//                  byte (on Windows CR LF compared as LF)
// Expected texts name the folders by {M} and {BIN}; "{M}/" and "{BIN}DynO/"
// stand for the platform's separator after them, {/} for it anywhere. {m} is {M} folded to lower
// case, as the driver keeps a path from the command line. @VERSION@ is the
// version as the build's configuration writes it for the manual page and the
// packages (1.0.10 as 1.00.10).
// On Windows mission.pld must end its lines with CR LF and is compared with LF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/test_util.h"
#include "text/ascii.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;

// The file's bytes as they stand.
std::string ReadBytes(const fs::path& path) { return test::ReadFile(path.string(), true); }

std::string WithCrLf(const std::string& text) {
  return test::Replace(test::Replace(text, "\r\n", "\n"), "\n", "\r\n");
}

// `bytes` as written by a text stream of this platform, read back as LF.
std::string AsWritten(const std::string& bytes, const std::string& what) {
  if (platform::kSeparator != '\\') return bytes;
  const std::string lf = test::Replace(bytes, "\r\n", "\n");
  EXPECT_EQ(WithCrLf(lf), bytes) << what << ": a line end other than CR LF";
  return lf;
}

std::string FoldedLower(std::string text) {
  FoldLowerInPlace(text);
  return text;
}

std::string LfOnWindows(const std::string& bytes) {
  return platform::kSeparator == '\\' ? test::Replace(bytes, "\r\n", "\n") : bytes;
}

// "NAME=..." with NAME in capitals, digits and '_': an environment variable.
bool IsVariableSetting(const std::string& word) {
  return std::regex_match(word, std::regex("[A-Z0-9_]+=.*"));
}

// The names under `folder`, one a line in byte order, "/" after a folder.
std::string Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(entry.path(), folder).generic_string();
    if (entry.is_directory() && !entry.is_symlink()) name += '/';
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += name + "\n";
  return listing;
}

void CopyInto(const fs::path& from, const fs::path& to, bool crlf) {
  if (fs::is_directory(from)) {
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
      if (entry.is_regular_file())
        CopyInto(entry.path(), to / fs::relative(entry.path(), from), crlf);
    }
    return;
  }
  const std::string bytes = ReadBytes(from);
  test::WriteFile(to.string(), crlf ? WithCrLf(bytes) : bytes);
}

struct Case {
  fs::path folder;
  std::string name;  // the test's name
  bool crlf;         // the run with CR LF line ends
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.folder.string(); }

// Every case, and once more with CR LF those not marked lf-only; the cases of an
// extra folder are named after its place in the list, so that two folders
// may hold cases of the same name.
std::vector<Case> FindCases() {
  std::vector<std::string> roots = {VEXLAR_SOURCE_DIR "/tests/cases"};
  if (const char* extra = std::getenv("VEXLAR_EXTRA_CASES")) {
    std::istringstream list(extra);
    for (std::string root; std::getline(list, root, ';');) {
      if (!root.empty()) roots.push_back(root);
    }
  }
  std::vector<Case> cases;
  for (std::size_t r = 0; r < roots.size(); ++r) {
    const std::size_t first = cases.size();
    for (auto it = fs::recursive_directory_iterator(roots[r]);
         it != fs::recursive_directory_iterator(); ++it) {
      if (!it->is_directory() || !fs::is_directory(it->path() / "expect")) continue;
      it.disable_recursion_pending();
      std::string name = (r == 0 ? "" : "extra" + std::to_string(r) + "_") +
                         fs::relative(it->path(), roots[r]).generic_string();
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      cases.push_back({it->path(), name, false});
      if (!fs::exists(it->path() / "lf-only")) cases.push_back({it->path(), name + "_crlf", true});
    }
    std::sort(cases.begin() + static_cast<std::ptrdiff_t>(first), cases.end(),
              [](const Case& x, const Case& y) { return x.name < y.name; });
  }
  return cases;
}

void RunCase(const Case& the_case) {
  const fs::path& c = the_case.folder;
  const auto has = [&c](const char* name) { return fs::exists(c / name); };
  test::TempFolder work;
  const std::string m = work.Path("m"), bin = work.Path("bin/");
  fs::create_directories(m);
  fs::create_directories(bin);
  const bool crlf = the_case.crlf;
  for (const char* sub : {"m", "bin"}) {
    if (has(sub)) CopyInto(c / sub, work.Path(sub), crlf);
  }
  if (has("uses")) {
    std::istringstream uses(ReadBytes(c / "uses"));
    for (std::string to, from; uses >> to >> from;) {
      CopyInto(fs::path(VEXLAR_SOURCE_DIR) / from, work.Path(to), crlf);
    }
  }
  const auto placed = [&](std::string text) {
    const std::string sep(1, platform::kSeparator);
    text = test::Replace(text, "{BIN}DynO/", bin + "DynO" + sep);
    text = test::Replace(text, "{m}/", FoldedLower(m) + sep);
    text = test::Replace(text, "{/}", sep);
    text = test::Replace(text, "{M}/", m + sep);
    text = test::Replace(text, "{m}", FoldedLower(m));
    text = test::Replace(text, "@VERSION@", VEXLAR_VERSION_TEXT);
    return test::Replace(test::Replace(text, "{BIN}", bin), "{M}", m);
  };
  std::vector<std::pair<std::string, std::string>> kept;
  std::istringstream keep(has("expect/keep") ? ReadBytes(c / "expect/keep") : "");
  for (std::string name; keep >> name;) kept.emplace_back(name, ReadBytes(fs::path(m) / name));

  // Without a cmd file (or with an empty one): one run without arguments.
  std::vector<std::string> lines;
  std::istringstream text(has("cmd") ? ReadBytes(c / "cmd") : "");
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  if (lines.empty()) lines.emplace_back();
  std::istringstream statuses(has("expect/status") ? ReadBytes(c / "expect/status") : "");
  test::RunResult all;
  bool logged = false;
  for (const std::string& line : lines) {
    std::vector<std::string> args;
    test::Environment environment;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      const std::size_t equals = IsVariableSetting(word) ? word.find('=') : std::string::npos;
      if (args.empty() && equals != std::string::npos) {
        environment.emplace_back(word.substr(0, equals), placed(word.substr(equals + 1)));
      } else {
        args.push_back(placed(word));
      }
    }
    const test::RunResult run = test::RunInProcess(bin + "vexlar", args, environment);
    int status = 0;
    statuses >> status;
    EXPECT_EQ(status, run.status) << line;
    all.console += run.console;
    all.errors += run.errors;
    logged = logged || !run.log.empty();
    all.log_body += run.log_body;
  }
  const fs::path mission = fs::path(m) / "mission.pld";
  if (has("expect/mission.pld")) {
    ASSERT_TRUE(fs::exists(mission)) << "no mission.pld";
    EXPECT_EQ(ReadBytes(c / "expect/mission.pld"), AsWritten(ReadBytes(mission), "mission.pld"));
  }
  EXPECT_FALSE(has("expect/no-mission") && fs::exists(mission)) << "a mission.pld was written";
  EXPECT_FALSE(has("expect/no-log") && logged) << "the log was written";
  // The log was read back as text: its line ends are LF on every platform.
  for (const auto& [name, got] : {std::pair{"expect/console", &all.console},
                                  {"expect/errors", &all.errors},
                                  {"expect/log", &all.log_body}}) {
    if (has(name)) {
      EXPECT_EQ(placed(ReadBytes(c / name)), *got) << name;
    }
  }
  for (const auto& [name, bytes] : kept) {
    EXPECT_EQ(bytes, ReadBytes(fs::path(m) / name)) << name << " changed";
  }
  if (has("expect/folder")) {
    EXPECT_EQ(ReadBytes(c / "expect/folder"), Listing(m));
  }
  if (has("expect/m")) {
    for (const auto& entry : fs::recursive_directory_iterator(c / "expect/m")) {
      if (!entry.is_regular_file()) continue;
      const fs::path name = fs::relative(entry.path(), c / "expect/m");
      ASSERT_TRUE(fs::exists(fs::path(m) / name)) << name << " is missing";
      EXPECT_EQ(LfOnWindows(ReadBytes(entry.path())), LfOnWindows(ReadBytes(fs::path(m) / name)))
          << name;
    }
  }
}

class DataCase : public testing::TestWithParam<Case> {};

TEST_P(DataCase, Run) {
  SCOPED_TRACE(GetParam().folder.string() + (GetParam().crlf ? " with CR LF" : ""));
  RunCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, DataCase, testing::ValuesIn(FindCases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace vexlar
