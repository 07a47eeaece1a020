// --watch: convert, then convert again each time the source is saved or the
// composition data the last conversion read changes, until Ctrl+C. Files are
// looked at a few times a second; a changed file is converted only once it
// has stayed as it is for a while, so a save still being written is never
// read.
#ifndef VEXLAR_DRIVER_WATCH_H_
#define VEXLAR_DRIVER_WATCH_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver/conversion.h"
#include "platform/platform.h"

namespace vexlar {

/// How often the watched files are looked at, and how long a changed one
/// must stay unchanged in size and time of change before it is converted:
/// longer than the pauses of an editor that writes a large file in pieces,
/// short enough that a conversion follows a save at once to the user.
constexpr unsigned kWatchPollMilliseconds = 250;
constexpr unsigned kSettleMilliseconds = 500;

/// One conversion: handed the stamp the source had once it settled
/// (nothing for the first) and the stamp of the mission.pld the watch wrote
/// last, it returns its status and fills `report`.
using ConvertForWatch = std::function<int(const std::optional<platform::FileStamp>& settled_source,
                                          const std::optional<platform::FileStamp>& last_written,
                                          ConversionReport* report)>;

/// Converts with `convert` at once and after every change of the files the
/// last conversion read, until an interrupt; not at all after a first run
/// that read no source (its path or kind was refused). `tell` shows a line
/// to the user: between conversions, what is watched; once, that the source
/// is gone. Returns the status of the last conversion.
int Watch(const ConvertForWatch& convert, const std::function<void(const std::string&)>& tell);

}  // namespace vexlar

#endif  // VEXLAR_DRIVER_WATCH_H_
