#include "writer/height_rule.h"

#include <optional>
#include <string>

#include "text/decimal.h"
#include "text/position.h"

namespace vexlar {

void ApplyHeightRule(SourceObject& object, ObjectStore* store, Findings* findings) {
  const std::optional<std::size_t> at = FindArgumentIndex(object.arguments(), "POSITION");
  if (!at) return;
  const ObjectArgument position = object.arguments()[*at];

  // Cut after the last ']' that is not the first character; without one
  // the value becomes empty.
  std::string_view value = position.value;
  const std::size_t bracket = value.size() > 1 ? value.find_last_of(']') : std::string_view::npos;
  value = (bracket != std::string_view::npos && bracket > 0) ? value.substr(0, bracket + 1)
                                                             : std::string_view();
  store->SetArgumentValue(object, *at, value);

  TextFields fields;
  SplitFields(value, BracketEnds::kInThirdField, std::string_view::npos, &fields);
  const std::string_view height = fields.field[2];
  if (findings != nullptr && IsNotANumber(height)) {
    findings->Report("not-a-number", findings->InSource(position.name), object.id, [&] {
      return "the height \"" + std::string(height) + "\" of POSITION is no number; it counts as 0";
    });
  }
  if (ParseDecimal(height) == 0) return;
  const std::string statement = "this setpos " + std::string(value) + ";";
  if (const std::optional<std::size_t> init = FindArgumentIndex(object.arguments(), "INIT")) {
    const std::string_view old = object.arguments()[*init].value;
    store->SetArgumentValue(object, *init, store->KeepText(std::string(old) + "; " + statement));
  } else {
    store->AppendArgument(object, {"INIT", store->KeepText(statement)});
  }
}

}  // namespace vexlar
