#include "writer/height_rule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/table_cases.h"

namespace vexlar {

// The cases' arguments are stored loose, in an object followed by another, so
// that an appended INIT makes the list move.
TEST(HeightRule, CutsThePositionAndKeepsTheHeightInInit) {
  test::RunTableCases("writer/height_rule_cases.txt", [](const auto& in) {
    ObjectStore store;
    SourceObject object = store.NewSourceObject();
    const std::string_view text = in.at(0);
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
      end = std::min(text.find('\n', at), text.size());
      const std::size_t equals = text.find('=', at);
      store.AppendArgument(
          object, {text.substr(at, equals - at), text.substr(equals + 1, end - equals - 1)});
    }
    SourceObject& stored = store.AppendToList(object);
    SourceObject next = store.NewSourceObject();
    store.AppendArgument(next, {"TYPE", "TYPE"});
    store.AppendToList(next);
    ApplyHeightRule(stored, &store);
    EXPECT_EQ("1 ?  -1 TYPE=\"TYPE\"\n",
              store.DebugString().substr(store.DebugString().find('\n') + 1));
    std::string arguments;
    for (const ObjectArgument a : stored.arguments())
      arguments += std::string(a.name) + "=" + std::string(a.value) + "\n";
    return arguments;
  });
}

}  // namespace vexlar
