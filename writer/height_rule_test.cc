#include "writer/height_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vexlar {

// POSITION is cut after its last ']'; a height other than 0 adds a setpos
// statement to INIT, or a new INIT argument at the end of the list.
TEST(HeightRule, CutsThePositionAndKeepsTheHeightInInit) {
  // POSITION and INIT before (null: none), all arguments afterwards.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"[100,200,5];", nullptr, " Position=[100,200,5] TYPE=Truck INIT=this setpos [100,200,5];"},
      {"[1,2,3]", "", " Position=[1,2,3] init=; this setpos [1,2,3]; TYPE=Truck"},
      {"[1,2,3]", "hint;", " Position=[1,2,3] init=hint;; this setpos [1,2,3]; TYPE=Truck"},
      {"[1,2,0]x]", nullptr, " Position=[1,2,0]x] TYPE=Truck"},
      {"[1,2,abc]", nullptr, " Position=[1,2,abc] TYPE=Truck"},
      {"[1,2,0,5]", nullptr, " Position=[1,2,0,5] TYPE=Truck INIT=this setpos [1,2,0,5];"},
      {"[1,2,0.5m]", nullptr, " Position=[1,2,0.5m] TYPE=Truck INIT=this setpos [1,2,0.5m];"},
      {"10,20,5", nullptr, " Position= TYPE=Truck"},
      {"]x", nullptr, " Position= TYPE=Truck"},
      {nullptr, "", " init= TYPE=Truck"},
  };
  for (const auto& [position, init, expected] : cases) {
    // An object read after this one makes the appended INIT move the list.
    ObjectStore store;
    SourceObject object = store.NewSourceObject();
    if (position) store.AppendArgument(object, {"Position", position});
    if (init) store.AppendArgument(object, {"init", init});
    store.AppendArgument(object, {"TYPE", "Truck"});
    SourceObject& stored = store.AppendToList(object);
    SourceObject next = store.NewSourceObject();
    store.AppendArgument(next, {"TYPE", "TYPE"});
    store.AppendToList(next);
    ApplyHeightRule(stored, &store);
    std::string arguments;
    for (const ObjectArgument a : stored.arguments())
      arguments += " " + std::string(a.name) + "=" + std::string(a.value);
    EXPECT_EQ(expected, arguments) << (position ? position : "no POSITION");
    EXPECT_EQ("1 ?  -1 TYPE=\"TYPE\"\n",
              store.DebugString().substr(store.DebugString().find('\n') + 1));
  }
}

}  // namespace vexlar
