#include "driver/backup_options.h"

#include <optional>
#include <string_view>

namespace vexlar {
namespace {

using Control = platform::BackupPolicy::Control;

struct ControlName {
  std::string_view name;
  Control control;
};
constexpr ControlName kControls[] = {
    {"none", Control::kNone},         {"off", Control::kNone},
    {"numbered", Control::kNumbered}, {"t", Control::kNumbered},
    {"existing", Control::kExisting}, {"nil", Control::kExisting},
    {"simple", Control::kSimple},     {"never", Control::kSimple},
};

// The control `word` names: exactly, or by a beginning that all the names it
// begins stand for. Returns false with the line for standard error.
bool ControlNamed(const std::string& word, const char* where, Control* control,
                  std::string* error) {
  std::optional<Control> found;
  bool ambiguous = false;
  for (const ControlName& c : kControls) {
    if (c.name == word) {
      *control = c.control;
      return true;
    }
    if (c.name.substr(0, word.size()) != word) continue;
    ambiguous = ambiguous || (found && *found != c.control);
    found = c.control;
  }
  if (found && !ambiguous) {
    *control = *found;
    return true;
  }
  *error = std::string("vexlar: ") + (ambiguous ? "ambiguous" : "unknown") + " backup control '" +
           word + "' " + where +
           " (none, off, numbered, t, existing, nil, simple, never); see vexlar --help\n";
  return false;
}

bool UsableSuffix(const std::string& suffix) {
  return !suffix.empty() && suffix.find_first_of("/\\:") == std::string::npos;
}

}  // namespace

bool ReadBackupOption(const std::vector<std::string>& args, std::size_t* i, BackupOptions* options,
                      std::string* error) {
  const std::string& arg = args[*i];
  if (arg == "-b" || arg == "--backup") {
    options->wanted = true;
    options->control.reset();
  } else if (arg.rfind("--backup=", 0) == 0) {
    options->wanted = true;
    options->control = arg.substr(9);
  } else if (arg.rfind("--suffix=", 0) == 0) {
    options->wanted = true;
    options->suffix = arg.substr(9);
  } else if (arg == "--suffix") {
    if (*i + 1 == args.size()) {
      *error = "vexlar: --suffix needs a text; see vexlar --help\n";
      return true;
    }
    options->wanted = true;
    options->suffix = args[++*i];
  } else {
    return false;
  }
  return true;
}

bool BackupPolicyFor(const BackupOptions& options,
                     const std::optional<std::string>& version_control,
                     const std::optional<std::string>& simple_backup_suffix,
                     platform::BackupPolicy* policy, std::string* error) {
  *policy = platform::BackupPolicy();
  if (!options.wanted) return true;
  policy->control = Control::kExisting;
  if (options.control) {
    if (!ControlNamed(*options.control, "for --backup", &policy->control, error)) return false;
  } else if (version_control && !version_control->empty()) {
    if (!ControlNamed(*version_control, "in VERSION_CONTROL", &policy->control, error)) {
      return false;
    }
  }
  if (options.suffix) {
    if (options.suffix->empty()) {
      *error = "vexlar: --suffix needs a text; see vexlar --help\n";
      return false;
    }
    if (!UsableSuffix(*options.suffix)) {
      *error = "vexlar: --suffix '" + *options.suffix +
               "' holds '/', '\\' or ':'; a backup goes beside mission.pld; see vexlar --help\n";
      return false;
    }
    policy->suffix = *options.suffix;
  } else if (simple_backup_suffix && UsableSuffix(*simple_backup_suffix)) {
    // One that is not usable is ignored, as other tools that read it do.
    policy->suffix = *simple_backup_suffix;
  }
  return true;
}

}  // namespace vexlar
