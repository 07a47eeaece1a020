// Synthetic .kolvo missions for measuring and regression-testing the
// converter. A mission is the same text for the same recipe on every
// platform: the generator draws from its own random sequence and formats
// numbers itself.
//
// Shapes:
//  - mixed: for every group 6 to 10 units and 3 to 5 waypoints; per 10 groups
//    a trigger, 5 markers, 5 empty vehicles and a composition of one of the
//    sample composition types (now and then an unknown type);
//  - many groups: groups of one unit each, no waypoints;
//  - many compositions: nothing but compositions.
// Every shape starts with a prefix, the intel object and three centres, and
// ends with a postfix. Units carry about 12 arguments, an INIT value with
// doubled quotes and, for some, a height above 0; some names are written in
// mixed case.
#ifndef VEXLAR_BENCH_MISSION_GENERATOR_H_
#define VEXLAR_BENCH_MISSION_GENERATOR_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexlar::bench {

enum class MissionShape { kMixed, kManyGroups, kManyCompositions };

/// "mixed", "groups" or "compositions"; nothing for any other word.
std::optional<MissionShape> MissionShapeFromName(std::string_view name);

struct MissionRecipe {
  MissionShape shape = MissionShape::kMixed;
  /// Objects in the file, the fixed ones included; at least kFixedObjects.
  std::size_t objects = 0;
  std::uint64_t seed = 1;
  /// Line ends written as CR LF instead of LF.
  bool crlf = false;
};

/// Prefix, intel, three centres and postfix.
constexpr std::size_t kFixedObjects = 6;

/// Produces a mission one object at a time, so that large missions can be
/// written out as they are made.
class MissionGenerator {
 public:
  explicit MissionGenerator(const MissionRecipe& recipe);

  /// Appends the text of the next object (the first call also the file's
  /// first lines) to `out`. Returns false, appending nothing, once all
  /// objects are written.
  bool AppendNext(std::string* out);

 private:
  enum class Kind { kGroup, kUnit, kWaypoint, kTrigger, kMarker, kVehicle, kComposition };

  std::uint64_t Next();
  std::uint64_t Below(std::uint64_t bound);
  bool OneIn(std::uint64_t n) { return Below(n) == 0; }
  std::string Decimal(std::uint64_t max_whole);
  std::string Position(bool may_be_raised);
  Kind NextBodyKind();

  void AppendFixed(std::size_t index, std::string* out);
  void AppendBody(Kind kind, std::string* out);
  void AppendUnit(std::string* out);
  void AppendWaypoint(std::string* out);
  void AppendTrigger(std::string* out);
  void AppendMarker(std::string* out);
  void AppendVehicle(std::string* out);
  void AppendComposition(std::string* out);

  MissionRecipe recipe_;
  std::uint64_t state_;
  std::size_t written_ = 0;
  std::size_t last_group_ = 0;  // header number of the group being filled
  // Place in the mixed shape's plan: groups done in this block of ten, and
  // what the current group and block still lack.
  std::size_t block_groups_ = 0;
  std::size_t units_left_ = 0;
  std::size_t waypoints_left_ = 0;
  std::size_t block_tail_ = 0;  // trigger, markers, vehicles, composition
  bool group_pending_ = false;  // many groups: the unit of the last group
};

/// The whole mission of `recipe` as one text.
std::string GenerateMission(const MissionRecipe& recipe);

}  // namespace vexlar::bench

#endif  // VEXLAR_BENCH_MISSION_GENERATOR_H_
