#include "writer/mission_writer.h"

#include "dyno/compositions.h"

namespace vexlar {

bool WriteMissionFile(RunMode /*mode*/, const RunPaths& paths, ObjectStore* store, RunLog* log) {
  ExpandCompositions(paths.program_directory, store, log);
  return true;  // the writer arrives with the mission writer work
}

}  // namespace vexlar
