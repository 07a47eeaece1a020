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
    // The texts once as views into a source the store knows (stored packed)
    // and once as texts of their own (stored loose); a second object read
    // after this one makes the appended INIT move the list.
    std::string source = std::string("Position") + (position ? position : "") + "init" +
                         (init ? init : "") + "TYPE" + "Truck";
    for (const bool in_source : {true, false}) {
      ObjectStore store;
      if (in_source) store.SetSource(source);
      std::string_view rest = in_source ? std::string_view(source) : std::string_view();
      const auto text = [&](const char* literal) {
        if (!in_source) return std::string_view(literal);
        const std::string_view part = rest.substr(0, std::string_view(literal).size());
        rest.remove_prefix(part.size());
        return part;
      };
      SourceObject object = store.NewSourceObject();
      const std::string_view position_name = text("Position"),
                             position_value = text(position ? position : "");
      if (position) store.AppendArgument(object, {position_name, position_value});
      const std::string_view init_name = text("init"), init_value = text(init ? init : "");
      if (init) store.AppendArgument(object, {init_name, init_value});
      const std::string_view type_name = text("TYPE");
      store.AppendArgument(object, {type_name, text("Truck")});
      SourceObject& stored = store.AppendToList(object);
      SourceObject next = store.NewSourceObject();
      store.AppendArgument(next, {type_name, type_name});
      store.AppendToList(next);
      ApplyHeightRule(stored, &store);
      std::string arguments;
      for (const ObjectArgument a : stored.arguments())
        arguments += " " + std::string(a.name) + "=" + std::string(a.value);
      EXPECT_EQ(expected, arguments) << (position ? position : "no POSITION") << in_source;
      EXPECT_EQ("1 ?  -1 TYPE=\"TYPE\"\n",
                store.DebugString().substr(store.DebugString().find('\n') + 1));
    }
  }
}

}  // namespace vexlar
