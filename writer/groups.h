// Group membership for the Groups class of mission.pld: the units and
// waypoints of each group, found by the number their GROUP value names, and
// the side each group takes from the centre its CENTER value names. What
// joins no group or names no centre goes to the findings.
#ifndef VEXLAR_WRITER_GROUPS_H_
#define VEXLAR_WRITER_GROUPS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/findings.h"
#include "store/store.h"

namespace vexlar {

using ObjectRefs = std::vector<SourceObject*>;

/// Every object of `type` in `store`, in list order.
ObjectRefs AllOfType(ObjectStore* store, ObjectType type);

/// Some objects, in list order; valid while what they view lives.
struct ObjectRange {
  SourceObject* const* first = nullptr;
  std::size_t count = 0;

  ObjectRange() = default;
  ObjectRange(SourceObject* const* first, std::size_t count) : first(first), count(count) {}
  explicit ObjectRange(const ObjectRefs& objects) : ObjectRange(objects.data(), objects.size()) {}
  bool empty() const { return count == 0; }
  std::size_t size() const { return count; }
  SourceObject& operator[](std::size_t i) const { return *first[i]; }
};

/// Units or waypoints by the number their GROUP value names, in list order.
/// Built once in time proportional to the groups and members, so that each
/// group finds its members without a pass over all objects.
class MembersByGroup {
 public:
  /// Members that join no group are reported to `findings` (if any) as a
  /// `noun` ("unit", "waypoint") that is not written.
  MembersByGroup(const ObjectRefs& groups, const ObjectRefs& members, Findings* findings,
                 const char* noun);

  /// The members whose GROUP value names `group_number`; valid while the
  /// index lives. A number shared by two groups gives both the same members.
  ObjectRange Of(std::int32_t group_number) const;

 private:
  std::unordered_map<std::int32_t, std::uint32_t> slots_;  // group number -> slot
  std::vector<std::uint32_t> starts_;  // slot -> its first member; one more at the end
  ObjectRefs members_;
};

/// The first centre object of each number.
using CentresByNumber = std::unordered_map<std::int32_t, const SourceObject*>;

/// The centres of `store` by number. A centre's arguments other than SIDE,
/// and a centre that repeats an earlier one's number, go to `findings`.
CentresByNumber IndexCentres(ObjectStore* store, Findings* findings);

/// The SIDE value of the centre named by the group's CENTER value; empty
/// when any link of that chain is missing, which goes to `findings`.
std::string_view SideOf(const SourceObject& group, const CentresByNumber& centres,
                        Findings* findings);

/// Tells `findings` of each group whose number an earlier group has: the
/// two share their units and waypoints.
void ReportSharedNumbers(const ObjectRefs& groups, Findings* findings);

}  // namespace vexlar

#endif  // VEXLAR_WRITER_GROUPS_H_
