// The backup options of the command line, -b, --backup[=CONTROL] and
// --suffix=SUFFIX, as cp, mv and install of GNU have them, and the
// environment variables they consult: VERSION_CONTROL for the control when
// none is given, SIMPLE_BACKUP_SUFFIX for the suffix.
#ifndef VEXLAR_DRIVER_BACKUP_OPTIONS_H_
#define VEXLAR_DRIVER_BACKUP_OPTIONS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexlar {

/// The backup options as given; the last of each kind counts.
struct BackupOptions {
  bool wanted = false;                 // any of them, --suffix included
  std::optional<std::string> control;  // of --backup=CONTROL; none for -b
  std::optional<std::string> suffix;   // of --suffix
};

/// When `args[*i]` is a backup option, reads it into `options`, with the
/// value after a lone --suffix (*i then moves past it), and returns true.
/// A lone --suffix without a value sets `*error` to the line for standard
/// error.
bool ReadBackupOption(const std::vector<std::string>& args, std::size_t* i, BackupOptions* options,
                      std::string* error);

/// The backup policy that `options` ask for. Controls are none/off,
/// numbered/t, existing/nil and simple/never, or an unambiguous beginning of
/// one; without --backup=CONTROL the control is that of `version_control`
/// (unset or empty: existing). The suffix is --suffix's, else that of
/// `simple_backup_suffix` when it is a usable one, else "~". Returns false,
/// with the line for standard error in `*error`, for an unknown or ambiguous
/// control (also in VERSION_CONTROL) and a --suffix that is empty or holds
/// '/', '\' or ':'.
bool BackupPolicyFor(const BackupOptions& options,
                     const std::optional<std::string>& version_control,
                     const std::optional<std::string>& simple_backup_suffix,
                     platform::BackupPolicy* policy, std::string* error);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_BACKUP_OPTIONS_H_
