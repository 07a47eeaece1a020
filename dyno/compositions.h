// Composition expansion: every objectComposition object becomes the empty
// vehicles its composition script lists, placed around the composition's
// position and turned by its angle. Which script a composition type uses is
// found in "DynO.cpp"; the scripts live in the "DynO" folder beside it.
#ifndef VEXLAR_DYNO_COMPOSITIONS_H_
#define VEXLAR_DYNO_COMPOSITIONS_H_

#include <string>

#include "driver/run_log.h"
#include "store/store.h"

namespace vexlar {

/// Appends the vehicles of every composition of `store`, in list order, to
/// the store. `program_directory` ends in the platform separator or is empty.
void ExpandCompositions(const std::string& program_directory, ObjectStore* store, RunLog* log);

}  // namespace vexlar

#endif  // VEXLAR_DYNO_COMPOSITIONS_H_
