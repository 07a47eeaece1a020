#include "driver/command_line.h"

#include "platform/platform.h"
#include "text/ascii.h"

namespace vexlar {

const char kUsage[] =
    "Usage: vexlar [options] [intro|win|loose] <mission.kolvo>\n"
    "\n"
    "Converts a mission saved by the 3D editor (.kolvo) into mission.pld for\n"
    "the 2D map editor.\n"
    "\n"
    "  intro   put the mission into the Intro section\n"
    "  win     put the mission into the OutroWin section\n"
    "  loose   put the mission into the OutroLoose section (also: lose)\n"
    "  (none)  put the mission into the Mission section\n"
    "\n"
    "mission.pld is written into the folder of the .kolvo file, replacing an\n"
    "existing one. Every run appends its messages to the log file beside the\n"
    "executable (its name with the extension .log). Object compositions are\n"
    "expanded with DynO.cpp and the scripts of the DynO folder, found beside\n"
    "the executable, else in ../share/vexlar/ of an installed one.\n"
    "\n"
    "Options:\n"
    "  -b, --backup[=CONTROL]\n"
    "                 keep the mission.pld that a conversion replaces. CONTROL:\n"
    "                 none or off: no backup; numbered or t: mission.pld.~1~,\n"
    "                 .~2~, ...; existing or nil: numbered if numbered ones are\n"
    "                 there, else simple; simple or never: mission.pld~. Without\n"
    "                 =CONTROL, that of VERSION_CONTROL, else existing\n"
    "  --check        write no mission.pld: list what a conversion would leave\n"
    "                 out or change, one warning per line (status 1 if any)\n"
    "  --dyno DIR     read DIR/DynO.cpp and DIR/DynO/ instead (also VEXLAR_DYNO)\n"
    "  --each         convert every file named, each as a run of its own, then\n"
    "                 tell how many failed (without it, only the last is converted)\n"
    "  --merge        keep the other three sections of an existing mission.pld\n"
    "                 and replace only the one the mode word chooses\n"
    "  --suffix=SUFFIX\n"
    "                 end simple backups with SUFFIX instead of ~ (also\n"
    "                 SIMPLE_BACKUP_SUFFIX); implies --backup\n"
    "  --watch        convert, then again whenever the .kolvo file is saved or\n"
    "                 DynO.cpp or a script it used changes; Ctrl+C ends it\n"
    "  -h, --help     show this text\n"
    "  -V, --version  show the version\n"
    "  --             end of the options: a file name may then start with '-'\n";

namespace {

bool IsHelp(const std::string& arg) {
  return arg == "-h" || arg == "--help" ||
         (platform::kSeparator == '\\' && (arg == "/?" || arg == "/h" || arg == "/H"));
}

void Refuse(CommandLine* line, const std::string& error) {
  if (line->action == Action::kUsageError) return;  // the first error is told
  line->action = Action::kUsageError;
  line->usage_error = "vexlar: " + error + "; see vexlar --help\n";
}

// Reads the option `args[*i]` into `line`, taking its value from the next
// argument where it has one (there is one). False when `args[*i]` is no
// option of ours.
bool ReadOption(const std::vector<std::string>& args, std::size_t* i, CommandLine* line) {
  const std::string& arg = args[*i];
  if (arg == "--dyno" || arg.rfind("--dyno=", 0) == 0) {
    line->dyno_folder = arg == "--dyno" ? args[++*i] : arg.substr(7);
    return true;
  }
  bool CommandLine::*const flag = arg == "--check"   ? &CommandLine::check
                                  : arg == "--merge" ? &CommandLine::merge
                                  : arg == "--each"  ? &CommandLine::each
                                  : arg == "--watch" ? &CommandLine::watch
                                                     : nullptr;
  if (flag == nullptr) return false;
  line->*flag = true;
  return true;
}

// A word that is no option: a mode word or a path.
void ReadWord(std::string word, CommandLine* line) {
  FoldLowerInPlace(word);
  if (word == "intro") {
    line->mode = RunMode::kIntro;
  } else if (word == "win") {
    line->mode = RunMode::kWin;
  } else if (word == "loose" || word == "lose") {
    line->mode = RunMode::kLoose;
  } else {
    line->paths.push_back(std::move(word));
  }
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && (IsHelp(arg) || arg == "-V" || arg == "--version")) {
      line.action = IsHelp(arg) ? Action::kHelp : Action::kVersion;
      return line;
    }
    if (options && arg == "--dyno" && i + 1 == args.size()) {
      line.action = Action::kUsageError;
      line.usage_error = "vexlar: --dyno needs a folder; see vexlar --help\n";
      return line;
    }
    if (options && arg == "--") {
      options = false;
    } else if (options && ReadBackupOption(args, &i, &line.backup, &line.usage_error)) {
      if (!line.usage_error.empty()) {
        line.action = Action::kUsageError;
        return line;
      }
    } else if (options && ReadOption(args, &i, &line)) {
      continue;
    } else if (options && arg.size() > 1 && arg[0] == '-' && !platform::IsRegularFile(arg)) {
      Refuse(&line, "unknown option '" + arg + "'");  // a later --help or --version still answers
    } else {
      ReadWord(arg, &line);
    }
  }
  if (line.watch && (line.each || line.paths.size() > 1)) {
    Refuse(&line, "--watch watches one file");
  }
  return line;
}

}  // namespace vexlar
