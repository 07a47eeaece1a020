// What mission.pld holds is checked by the data cases (tests/cases/writer-*);
// here only the path, whose backslashes a case on POSIX cannot reach.
#include "writer/mission_writer.h"

#include <gtest/gtest.h>

namespace vexlar {
namespace {

TEST(MissionPath, TheLastSeparatorOfEitherKind) {
  EXPECT_EQ("c:\\m/mission.pld", MissionPathFor("c:\\m/attack.kolvo"));
  EXPECT_EQ("/a\\mission.pld", MissionPathFor("/a\\x.kolvo"));
  EXPECT_EQ("/a.b/mission.pld", MissionPathFor("/a.b/x"));
  EXPECT_EQ("mission.pld", MissionPathFor("attack.kolvo"));
}

}  // namespace
}  // namespace vexlar
