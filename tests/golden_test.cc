// Conversions with the bundled composition data (data/): the example mission
// against the checked-in expected files, and generated missions
// (bench/mission_generator.h) against SHA-256 digests recorded from the
// converter before its performance work, so that any changed output byte or
// message shows. The source digest pins the generator, so that a changed
// generator is told apart from a changed converter.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "bench/mission_generator.h"
#include "tests/sha256.h"
#include "tests/test_util.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;
using bench::MissionShape;

// Converts `text` as m/mission.kolvo, beside the temporary file of a stopped
// run, which must not show: the mission and the log body, whose program
// folder reads {BIN}.
std::pair<std::string, std::string> Convert(const std::string& text) {
  test::TempFolder folder;
  test::WriteFile(folder.Path("m/mission.kolvo"), text);
  test::WriteFile(folder.Path("m/mission.pld.tmp"), "left by a stopped run\n");
  fs::create_directories(folder.Path("bin"));
  fs::copy(VEXLAR_SOURCE_DIR "/data", folder.Path("bin"), fs::copy_options::recursive);
  const test::RunResult run =
      test::RunInProcess(folder.Path("bin/vexlar"), {folder.Path("m/mission.kolvo")});
  EXPECT_EQ(0, run.status) << run.log_body;
  return {test::ReadFile(folder.Path("m/mission.pld")),
          test::Replace(run.log_body, folder.Path("bin/"), "{BIN}")};
}

TEST(Golden, BundledExampleConvertsByteForByte) {
  const std::string examples = VEXLAR_SOURCE_DIR "/examples/";
  const auto [mission, log] = Convert(test::ReadFile(examples + "attack.kolvo"));
  EXPECT_EQ(test::ReadFile(examples + "expected/mission.pld"), mission);
  EXPECT_EQ(test::ReadFile(examples + "expected/log.txt"), log);
}

TEST(Golden, GeneratedMissionsConvertToTheRecordedDigests) {
  const struct {
    bench::MissionRecipe recipe;
    const char* source;
    const char* mission;
    const char* log;
  } cases[] = {
      {{MissionShape::kMixed, 10000, 1, false},
       "a03c0dbdbac8fad06c406ffff30408f70787ffe08078e4e5dd1ce44ddf33156a",
       "3d93db89e48a2d8850e777c341ffb1253028fa372d3359a43e645df471b61cd7",
       "35012ca252f3620e1a5ba5884d1d3919bafe8119b7063c69a5ffc31d55333188"},
      {{MissionShape::kMixed, 10000, 2, true},  // CR LF
       "e166281fd6bfaa0a59aca1b85c105fbd7164307d8a965dad37815c86f58c10a5",
       "288fb045eafc7d9fdb2bf25ab859e98d072f458e7eb6259ff824cd6423fb827b",
       "5c4a8951c1f5c0da314547a13b0b15a59e4f9ac2962d98819b53dbd14ee5324f"},
      {{MissionShape::kManyGroups, 2000, 3, false},
       "67f7b169823087294a5f26492b0a514c3eefafd9b6b94bd5ee27ee4d99ed8250",
       "5ad3915f8f3ef89ac556edfc6cf8985a20fb945ccedf3a43e442fc98a37a4948",
       "52ce7858b1a2d8211641a86787dff9a46558763f877627140688b5baf4f8ae28"},
      {{MissionShape::kManyCompositions, 1000, 4, false},
       "ea82fb6a8d474f7a0405dfab049fdff375e18573ecb46391fc408b093bcc8a21",
       "50ae210334c47489f7c5053cb1049e51906b4b99a75d854cd7de90bbd550889c",
       "52f35bc5df1ecc27e46857b28ef437ea7477e8037d5545bbb5a2de3f4069d86b"},
  };
  for (const auto& c : cases) {
    const std::string text = bench::GenerateMission(c.recipe);
    ASSERT_EQ(c.source, test::Sha256Hex(text)) << "the generator changed";
    const auto [mission, log] = Convert(text);
    EXPECT_EQ(c.mission, test::Sha256Hex(mission)) << c.source;
    EXPECT_EQ(c.log, test::Sha256Hex(log)) << c.source;
  }
}

}  // namespace
}  // namespace vexlar
