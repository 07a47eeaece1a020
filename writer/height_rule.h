// The height rule: a unit or empty vehicle above the ground keeps its
// height in the 2D editor through a setpos statement in its init text,
// since the editor's position line has no height of its own. The rule
// changes the object in the store, not a copy: the mission writer applies
// it to each item it writes, so its changes last for the rest of the run.
#ifndef VEXLAR_WRITER_HEIGHT_RULE_H_
#define VEXLAR_WRITER_HEIGHT_RULE_H_

#include "log/findings.h"
#include "store/store.h"

namespace vexlar {

/// Prepares a unit or empty vehicle for writing: cuts its POSITION value
/// after the last ']' and, when the height is not 0, appends
/// "; this setpos <position>;" to its INIT value or adds an INIT argument
/// "this setpos <position>;" at the end of its list. New texts are kept by
/// `store`. Without a POSITION argument nothing changes. A height that is no
/// number counts as 0 and goes to `findings` when given.
///
/// The POSITION and INIT values stay changed. Applied again, as to a unit
/// that two groups of one number hold, the cut changes nothing and the
/// INIT value gets a second setpos statement: mission.pld shows that unit
/// twice, the second time with both statements, as the file format has it.
void ApplyHeightRule(SourceObject& object, ObjectStore* store, Findings* findings = nullptr);

}  // namespace vexlar

#endif  // VEXLAR_WRITER_HEIGHT_RULE_H_
