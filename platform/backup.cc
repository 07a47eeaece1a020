#include "platform/backup.h"

namespace vexlar::platform {
namespace {

// A name beside `name` that this process makes for a moment: the pattern of
// the replacement's temporary file.
std::string TemporaryName(const std::string& name, int n) {
  return name + "." + std::to_string(ProcessNumber()) + "-" + std::to_string(n) + ".tmp";
}

constexpr int kTries = 1000;

}  // namespace

std::uint64_t HighestBackupNumber(const std::vector<std::string>& names, std::string_view base) {
  std::uint64_t highest = 0;
  for (const std::string& name : names) {
    const std::string_view n(name);
    if (n.size() < base.size() + 4 || n.substr(0, base.size()) != base ||
        n.substr(base.size(), 2) != ".~" || n.back() != '~') {
      continue;
    }
    const std::string_view digits = n.substr(base.size() + 2, n.size() - base.size() - 3);
    if (digits.size() > 18 || digits.front() < '1' || digits.front() > '9') continue;
    std::uint64_t number = 0;
    bool all_digits = true;
    for (const char c : digits) {
      all_digits = all_digits && c >= '0' && c <= '9';
      number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (all_digits && number > highest) highest = number;
  }
  return highest;
}

std::string MakeNumberedBackup(const std::string& old_file, const std::string& shown,
                               std::uint64_t first) {
  for (std::uint64_t n = first; n < first + kTries; ++n) {
    std::string name = shown + ".~" + std::to_string(n) + "~";
    switch (LinkOrCopy(old_file, name)) {
      case LinkResult::kMade:
        return name;
      case LinkResult::kExists:
        continue;  // made since the folder was read, or differs only in case
      case LinkResult::kFailed:
        return {};
    }
  }
  return {};
}

bool PendingBackup::Make(const std::string& shown, const std::string& old_file,
                         const BackupPolicy& policy) {
  if (policy.control == BackupPolicy::kNone || !IsRegularFile(old_file)) return true;
  const std::optional<FileStamp> stamp = StampOf(old_file);
  if (!stamp || (policy.skip_when && *policy.skip_when == *stamp)) return true;

  const std::size_t separator = shown.find_last_of(kSeparator == '\\' ? "\\/" : "/");
  const std::string folder = separator == std::string::npos ? "" : shown.substr(0, separator + 1);
  const std::uint64_t highest =
      HighestBackupNumber(FolderEntries(folder), std::string_view(shown).substr(folder.size()));
  if (policy.control == BackupPolicy::kNumbered ||
      (policy.control == BackupPolicy::kExisting && highest > 0)) {
    made_ = MakeNumberedBackup(old_file, shown, highest + 1);
    name_ = made_.empty() ? shown + ".~" + std::to_string(highest + 1) + "~" : made_;
    return !made_.empty();
  }
  name_ = shown + policy.suffix;
  return MakeSimple(old_file);
}

// The copy is made under a name of its own first and only then renamed to
// the backup's name, with an older backup moved aside until the replacement
// has gone through: a failure at any step leaves the older backup in place.
bool PendingBackup::MakeSimple(const std::string& old_file) {
  if (EntryKindOf(name_) == EntryKind::kFolder) return false;
  std::string copy;
  for (int n = 0; copy.empty() && n < kTries; ++n) {
    const LinkResult result = LinkOrCopy(old_file, TemporaryName(name_, n));
    if (result == LinkResult::kFailed) return false;
    if (result == LinkResult::kMade) copy = TemporaryName(name_, n);
  }
  if (copy.empty()) return false;
  if (EntryKindOf(name_) != EntryKind::kNone) {
    for (int n = 0; aside_.empty() && n < kTries; ++n) {
      if (EntryKindOf(TemporaryName(name_ + "-old", n)) == EntryKind::kNone) {
        aside_ = TemporaryName(name_ + "-old", n);
      }
    }
    if (aside_.empty() || !RenameReplacing(name_, aside_)) {
      aside_.clear();
      RemoveFile(copy);
      return false;
    }
  }
  if (!RenameReplacing(copy, name_)) {
    RemoveFile(copy);
    if (!aside_.empty()) RenameReplacing(aside_, name_);
    aside_.clear();
    return false;
  }
  made_ = name_;
  return true;
}

void PendingBackup::Keep() {
  if (!aside_.empty()) RemoveFile(aside_);
}

void PendingBackup::Undo() {
  if (made_.empty()) return;
  if (!aside_.empty()) {
    RenameReplacing(aside_, made_);
  } else {
    RemoveFile(made_);
  }
}

}  // namespace vexlar::platform
