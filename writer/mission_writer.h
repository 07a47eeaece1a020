// Writes mission.pld, the 2D editor's mission file, from the object store:
// the version line, the four mission sections, and in the section chosen by
// the run mode the Intel, Groups, Sensors, Vehicles and Markers classes.
#ifndef VEXLAR_WRITER_MISSION_WRITER_H_
#define VEXLAR_WRITER_MISSION_WRITER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/findings.h"
#include "log/run_log.h"
#include "platform/platform.h"
#include "store/store.h"

namespace vexlar {

/// Which of the four sections of mission.pld receives the converted content;
/// the others are written empty. The numbers are those the log shows.
enum class RunMode : std::uint16_t { kIntro = 0, kMission = 1, kWin = 2, kLoose = 3 };

/// How WriteMissionFile runs.
struct WriteOptions {
  /// What is left out or changed goes here: units and waypoints of no
  /// group, groups without units or side, shared numbers, heights that are
  /// no number.
  Findings* findings = nullptr;
  /// Everything but the file itself: for --check.
  bool dry_run = false;
  /// --merge: an existing mission.pld keeps its other three sections byte
  /// for byte, and only the selected one is replaced; a file not in the
  /// form of mission.pld is refused ("Cannot merge into mission file!"),
  /// and left as it is. Without one, the usual file is written.
  bool merge = false;
  /// --backup: whether the mission.pld replaced is kept, and how. The
  /// backup is made only when the new file is complete; one that cannot be
  /// made fails the run ("Cannot back up mission file!\nPath: %s\nBackup:
  /// %s\n") with mission.pld as it was. One made is logged ("Backup: %s\n").
  platform::BackupPolicy backup;
  /// When not null, receives the stamp of the mission.pld written; left as
  /// it is when none was.
  std::optional<platform::FileStamp>* written_stamp = nullptr;
};

/// Writes mission.pld into the folder of `source_path`, replacing an existing
/// one only once the new file is complete (through a temporary file of its
/// own; a link named mission.pld stays and its target is replaced), and logs
/// the counts. Returns false, after logging "Cannot write mission file!\nPath:
/// %s\n", when the file could not be written; an existing mission.pld is then
/// left as it was.
///
/// Writing changes the store: every unit item and empty-vehicle item goes
/// through ApplyHeightRule just before its lines are written, which cuts the
/// object's POSITION value and lengthens or adds its INIT value for the rest
/// of the run (a dry run too). A unit that two groups of one number both
/// hold is written twice, and its second item carries a second setpos
/// statement: the file format has each item show the object as the earlier
/// items left it.
bool WriteMissionFile(RunMode mode, std::string_view source_path, ObjectStore* store_to_change,
                      RunLog* log, const WriteOptions& options = {});

/// The mission file's path: `source_path` up to and including its last '\'
/// or '/', then "mission.pld" (just "mission.pld" without a separator).
std::string MissionPathFor(std::string_view source_path);

}  // namespace vexlar

#endif  // VEXLAR_WRITER_MISSION_WRITER_H_
