// Writes a synthetic mission (see mission_generator.h) to a file:
//   generate_mission <mixed|groups|compositions> <objects> <seed> <path> [crlf]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/mission_generator.h"

namespace {

constexpr char kUsage[] =
    "usage: generate_mission <mixed|groups|compositions> <objects> <seed> <path> [crlf]\n";

bool ParseCount(const char* text, unsigned long long* value) {
  char* end = nullptr;
  *value = std::strtoull(text, &end, 10);
  return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  using vexlar::bench::MissionRecipe;
  if (argc != 5 && argc != 6) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  MissionRecipe recipe;
  const auto shape = vexlar::bench::MissionShapeFromName(argv[1]);
  unsigned long long objects = 0;
  unsigned long long seed = 0;
  if (!shape || !ParseCount(argv[2], &objects) || !ParseCount(argv[3], &seed) ||
      objects < vexlar::bench::kFixedObjects || (argc == 6 && std::string(argv[5]) != "crlf")) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  recipe.shape = *shape;
  recipe.objects = static_cast<std::size_t>(objects);
  recipe.seed = seed;
  recipe.crlf = argc == 6;

  std::FILE* file = std::fopen(argv[4], "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "generate_mission: cannot create %s\n", argv[4]);
    return 1;
  }
  vexlar::bench::MissionGenerator generator(recipe);
  std::string chunk;
  bool ok = true;
  for (bool more = true; more && ok;) {
    more = generator.AppendNext(&chunk);
    if (chunk.size() >= (1u << 20) || !more) {
      ok = std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
      chunk.clear();
    }
  }
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::fprintf(stderr, "generate_mission: cannot write %s\n", argv[4]);
  return ok ? 0 : 1;
}
