// Backups of a file about to be replaced, made in steps around the rename
// that replaces it: a replacement that fails leaves no backup behind and an
// older simple backup as it was. The names are the same on every platform;
// the few file operations under them come from each platform's own file.
#ifndef VEXLAR_PLATFORM_BACKUP_H_
#define VEXLAR_PLATFORM_BACKUP_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vexlar::platform {

/// The highest N among the `names` of the form "<base>.~N~", N in decimal
/// without a leading zero; 0 without one. A number of more than 18 digits is
/// not counted: the next number is then found by trying it.
std::uint64_t HighestBackupNumber(const std::vector<std::string>& names, std::string_view base);

/// The backup of one replacement: Make() before the rename, then one call
/// of Keep() or Undo() by its outcome.
class PendingBackup {
 public:
  /// Backs up `old_file`, the regular file a rename is about to replace,
  /// under a name made from `shown` (the path as named, beside which the
  /// backup goes). Nothing is made for kNone, for an old file that is
  /// missing or no regular file, or one whose stamp is `policy.skip_when`.
  /// A numbered backup is created exclusively, on a clash under the next
  /// number. Returns false, with nothing changed, when the backup cannot be
  /// made.
  bool Make(const std::string& shown, const std::string& old_file, const BackupPolicy& policy);
  /// The replacement went through: drops the older simple backup kept aside.
  void Keep();
  /// The replacement failed: removes the backup made and puts the older
  /// simple backup back.
  void Undo();
  /// The backup made or tried by Make(), or "" when none was due.
  const std::string& name() const { return name_; }

 private:
  bool MakeSimple(const std::string& old_file);

  std::string name_;
  std::string made_;   // what Undo() removes or replaces: name_ once made
  std::string aside_;  // the older simple backup, moved out of the way
};

/// Numbered backups of a file whose first number to try is `first`: the
/// loop of Make(), open for tests. Returns the name made, or "" when none
/// could be.
std::string MakeNumberedBackup(const std::string& old_file, const std::string& shown,
                               std::uint64_t first);

// What each platform file provides for the backups.

enum class LinkResult { kMade, kExists, kFailed };
/// Makes `to` hold the bytes of the regular file `from`: a hard link where
/// the system allows one (same folder, no copy), else a copy with `from`'s
/// permission bits. kExists, with nothing changed, when `to` exists; kFailed
/// with nothing left behind when neither works.
LinkResult LinkOrCopy(const std::string& from, const std::string& to);
/// Renames `from` to `to`, replacing a file named `to`.
bool RenameReplacing(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
/// What `path` itself names, a link not followed.
enum class EntryKind { kNone, kFolder, kOther };
EntryKind EntryKindOf(const std::string& path);
/// The names of the entries of `folder` ("" is the current one).
std::vector<std::string> FolderEntries(const std::string& folder);
/// The number of this process, for names of its own.
unsigned long ProcessNumber();

}  // namespace vexlar::platform

#endif  // VEXLAR_PLATFORM_BACKUP_H_
