// Converts generated missions (bench/mission_generator.h) with the bundled
// composition data and compares mission.pld and the log with SHA-256 digests
// recorded from the converter before its performance work: any changed
// output byte or message shows here. The source digest pins the generator,
// so that a changed generator is told apart from a changed converter.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <utility>

#include "bench/mission_generator.h"
#include "reader/reader.h"
#include "store/store.h"
#include "tests/sha256.h"
#include "tests/test_util.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;
using bench::MissionRecipe;
using bench::MissionShape;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

TEST(Sha256, KnownDigests) {
  const struct {
    std::string input;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits the first padding block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.digest, test::Sha256Hex(c.input)) << c.input.size();
}

TEST(GeneratedMission, HoldsTheRequestedObjectsInItsShape) {
  const struct {
    MissionShape shape;
    std::size_t objects;
  } cases[] = {
      {MissionShape::kMixed, 3000},
      {MissionShape::kManyGroups, 1001},
      {MissionShape::kManyCompositions, 500},
  };
  for (const auto& c : cases) {
    MissionRecipe recipe;
    recipe.shape = c.shape;
    recipe.objects = c.objects;
    recipe.seed = 7;
    const std::string text = bench::GenerateMission(recipe);
    EXPECT_EQ(text, bench::GenerateMission(recipe)) << "the same recipe gives the same text";
    recipe.seed = 8;
    EXPECT_NE(text, bench::GenerateMission(recipe));

    ObjectStore store;
    ReadSourceText(text, &store);
    ASSERT_EQ(c.objects, store.NextObjectId()) << static_cast<int>(c.shape);
    std::array<std::size_t, kObjectTypeCount> counts{};
    for (const SourceObject& object : store.objects()) {
      ASSERT_NE(ObjectType::kUnknown, object.type) << object.id;
      ++counts[static_cast<std::size_t>(object.type)];
    }
    const auto count = [&counts](ObjectType type) {
      return counts[static_cast<std::size_t>(type)];
    };
    EXPECT_EQ(3u, count(ObjectType::kCenter));
    EXPECT_EQ(1u, count(ObjectType::kIntel));
    const std::size_t groups = count(ObjectType::kGroup);
    switch (c.shape) {
      case MissionShape::kMixed:
        EXPECT_GE(count(ObjectType::kUnit), 6 * groups - 10);
        EXPECT_LE(count(ObjectType::kUnit), 10 * groups);
        EXPECT_GE(count(ObjectType::kWaypoint), 3 * groups - 5);
        EXPECT_LE(count(ObjectType::kWaypoint), 5 * groups);
        // Per ten groups one trigger, five markers, five vehicles and a
        // composition; the last block may stop anywhere.
        for (const auto& [type, per_block] : {std::pair{ObjectType::kTrigger, 1u},
                                              {ObjectType::kMarker, 5u},
                                              {ObjectType::kVehicle, 5u},
                                              {ObjectType::kObjectComposition, 1u}}) {
          EXPECT_LE(count(type), (groups + 9) / 10 * per_block) << static_cast<int>(type);
          EXPECT_GE(count(type), (groups - 1) / 10 * per_block) << static_cast<int>(type);
        }
        break;
      case MissionShape::kManyGroups:
        EXPECT_EQ((c.objects - bench::kFixedObjects) / 2, count(ObjectType::kUnit));
        EXPECT_EQ(c.objects - bench::kFixedObjects - count(ObjectType::kUnit), groups);
        break;
      case MissionShape::kManyCompositions:
        EXPECT_EQ(c.objects - bench::kFixedObjects, count(ObjectType::kObjectComposition));
        break;
    }
  }
}

TEST(GeneratedMission, ConvertsToTheRecordedOutput) {
  const struct {
    const char* name;
    MissionRecipe recipe;
    const char* source;
    const char* mission;
    const char* log;
  } cases[] = {
      {"mixed, 10k objects",
       {MissionShape::kMixed, 10000, 1, false},
       "a03c0dbdbac8fad06c406ffff30408f70787ffe08078e4e5dd1ce44ddf33156a",
       "3d93db89e48a2d8850e777c341ffb1253028fa372d3359a43e645df471b61cd7",
       "35012ca252f3620e1a5ba5884d1d3919bafe8119b7063c69a5ffc31d55333188"},
      {"mixed, 10k objects, CR LF",
       {MissionShape::kMixed, 10000, 2, true},
       "e166281fd6bfaa0a59aca1b85c105fbd7164307d8a965dad37815c86f58c10a5",
       "288fb045eafc7d9fdb2bf25ab859e98d072f458e7eb6259ff824cd6423fb827b",
       "5c4a8951c1f5c0da314547a13b0b15a59e4f9ac2962d98819b53dbd14ee5324f"},
      {"many groups",
       {MissionShape::kManyGroups, 2000, 3, false},
       "67f7b169823087294a5f26492b0a514c3eefafd9b6b94bd5ee27ee4d99ed8250",
       "5ad3915f8f3ef89ac556edfc6cf8985a20fb945ccedf3a43e442fc98a37a4948",
       "52ce7858b1a2d8211641a86787dff9a46558763f877627140688b5baf4f8ae28"},
      {"many compositions",
       {MissionShape::kManyCompositions, 1000, 4, false},
       "ea82fb6a8d474f7a0405dfab049fdff375e18573ecb46391fc408b093bcc8a21",
       "50ae210334c47489f7c5053cb1049e51906b4b99a75d854cd7de90bbd550889c",
       "52f35bc5df1ecc27e46857b28ef437ea7477e8037d5545bbb5a2de3f4069d86b"},
  };
  const std::string source_dir = VEXLAR_SOURCE_DIR;
  for (const auto& c : cases) {
    test::TempFolder folder;
    const std::string text = bench::GenerateMission(c.recipe);
    ASSERT_EQ(c.source, test::Sha256Hex(text)) << c.name << ": the generator changed";
    test::WriteFile(folder.Path("m/generated.kolvo"), text);
    fs::create_directories(folder.Path("bin"));
    fs::copy(source_dir + "/data", folder.Path("bin"), fs::copy_options::recursive);

    const test::RunResult run =
        test::RunInProcess(folder.Path("bin/vexlar"), {folder.Path("m/generated.kolvo")});
    EXPECT_EQ(0, run.status) << c.name;
    EXPECT_EQ(c.mission, test::Sha256Hex(test::ReadFile(folder.Path("m/mission.pld")))) << c.name;
    EXPECT_EQ(c.log, test::Sha256Hex(Replace(run.log_body, folder.Path("bin/"), "{BIN}")))
        << c.name;
  }
}

}  // namespace
}  // namespace vexlar
