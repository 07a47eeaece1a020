// Writes mission.pld, the 2D editor's mission file, from the object store:
// the version line, the four mission sections, and in the section chosen by
// the run mode the Intel, Groups, Sensors, Vehicles and Markers classes.
#ifndef VEXLAR_WRITER_MISSION_WRITER_H_
#define VEXLAR_WRITER_MISSION_WRITER_H_

#include "driver/run_log.h"
#include "driver/run_state.h"
#include "store/store.h"

namespace vexlar {

/// Expands the compositions, then writes mission.pld into the folder of
/// paths.source_path, replacing an existing one only once the new file is
/// complete, and logs the counts. Returns false, after logging
/// "Cannot write mission file!\nPath: %s\n", when the file could not be
/// written; an existing mission.pld is then left as it was.
bool WriteMissionFile(RunMode mode, const RunPaths& paths, ObjectStore* store, RunLog* log);

}  // namespace vexlar

#endif  // VEXLAR_WRITER_MISSION_WRITER_H_
