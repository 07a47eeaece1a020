// Composition expansion: every objectComposition object becomes the empty
// vehicles its composition script lists, placed around the composition's
// position and turned by its angle. Which script a composition type uses is
// found in "DynO.cpp"; the scripts live in the "DynO" folder beside it.
#ifndef VEXLAR_DYNO_COMPOSITIONS_H_
#define VEXLAR_DYNO_COMPOSITIONS_H_

#include <string>
#include <vector>

#include "dyno/script_scan.h"
#include "log/findings.h"
#include "log/run_log.h"
#include "store/store.h"

namespace vexlar {

/// Radians per degree of a composition's turn: 3.141539 / 180, a little less
/// than pi / 180, so a half turn does not land exactly on the mirrored point.
constexpr double kTurnFactor = 0.017452994444444443;

/// The four number texts of the vehicle that `entry` makes in a composition
/// centred at (`cx`, `cy`) and turned clockwise by `angle` degrees, each
/// written by FormatNumberText.
struct VehicleTexts {
  std::string position;  // "[x,y,height]": the turned offsets, height = dz
  std::string azimut;    // direction + angle, not brought into any range
  std::string fuel;
  std::string health;  // 1 - damage
};
VehicleTexts PlaceEntry(double cx, double cy, double angle, const ScriptEntry& entry);

/// Appends the vehicles of every composition of `store`, in list order, to
/// the store, with the next ids. `data_directory`, the folder that holds
/// "DynO.cpp" and the "DynO" folder of scripts, ends in the platform
/// separator or is empty. "DynO.cpp" and each script are read once. Per
/// composition the log gets the configuration path, then either a failure
/// (the configuration cannot be read; no TYPE or no script found for it; the
/// script cannot be read), after which the next composition follows, or the
/// script name and three lines per vehicle.
/// What is left out or read as 0 goes to `findings` when given: an argument
/// other than TYPE, ANGLE and POSITION, a composition without TYPE, of a type DynO.cpp has no
/// script for, whose script cannot be read, a script entry that makes no vehicle, a number that is
/// no number. The paths of the files it reads or tries to read, DynO.cpp
/// first, go to `files_read` when given.
void ExpandCompositions(const std::string& data_directory, ObjectStore* store, RunLog* log,
                        Findings* findings = nullptr,
                        std::vector<std::string>* files_read = nullptr);

}  // namespace vexlar

#endif  // VEXLAR_DYNO_COMPOSITIONS_H_
