// The attribute emitters: each turns one object's argument list into the
// lines of its item in mission.pld, one line per argument whose name its
// table knows, in argument order. Sensors and waypoints also get their
// Effects class. Class lines, braces, ids and default lines are the
// mission writer's. An argument that no table of the kind knows goes to the
// findings, when given ("POSITON is not written for a unit").
#ifndef VEXLAR_WRITER_ATTRIBUTES_H_
#define VEXLAR_WRITER_ATTRIBUTES_H_

#include <string_view>

#include "log/findings.h"
#include "store/store.h"
#include "writer/text_writer.h"

namespace vexlar {

/// Marker lines at three tabs. Writes no default type line.
void WriteMarkerAttributes(const SourceObject& marker, TextWriter& out,
                           Findings* findings = nullptr);

/// Empty-vehicle lines at three tabs. REQUIRES: ApplyHeightRule has run on
/// the object, so its POSITION value is cut.
void WriteVehicleAttributes(const SourceObject& vehicle, TextWriter& out,
                            Findings* findings = nullptr);

/// Unit lines at five tabs. PLAYABLE "true" writes the "PLAY CDG" player
/// line only when no argument is named PLAYER; PLAYER "true" writes the
/// "PLAYER COMMANDER" line. REQUIRES: ApplyHeightRule has run on the object.
void WriteUnitAttributes(const SourceObject& unit, TextWriter& out, Findings* findings = nullptr);

/// Trigger lines at three tabs, then its Effects class (effect lines at four
/// tabs), which is written even when empty. Writes no default age line.
void WriteSensorAttributes(const SourceObject& trigger, TextWriter& out,
                           Findings* findings = nullptr);

/// Waypoint lines at five tabs, then its Effects class (effect lines at six
/// tabs), which is written even when empty.
void WriteWaypointAttributes(const SourceObject& waypoint, TextWriter& out,
                             Findings* findings = nullptr);

/// Tells `findings` (when given) that `argument` of `object` is not
/// written: "<name> is not written for <a type>".
void ReportUnwrittenArgument(const SourceObject& object, const ObjectArgument& argument,
                             Findings* findings);

/// ReportUnwrittenArgument for each argument of `object` whose name `uses`
/// does not take, for the kinds the writer handles without a table.
void ReportUnwrittenArguments(const SourceObject& object, Findings* findings,
                              bool (*uses)(std::string_view name));

}  // namespace vexlar

#endif  // VEXLAR_WRITER_ATTRIBUTES_H_
