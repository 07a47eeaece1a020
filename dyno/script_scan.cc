#include "dyno/script_scan.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "dyno/line_look.h"
#include "text/decimal.h"
#include "text/position.h"

namespace vexlar {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// A number field read by one look from `position` up to the first of `ends`
// on that look: its first kNumberFieldSize characters and the position of
// the character that ends it. Nothing when the line holds no end.
struct Field {
  std::string_view text;
  std::size_t end = 0;
};
std::optional<Field> ReadField(std::string_view script, std::size_t position,
                               std::string_view ends) {
  const std::string_view look = LineAt(script, position);
  const std::size_t k = look.find_first_of(ends);
  if (k == kNotFound) return std::nullopt;
  return Field{look.substr(0, std::min(k, kNumberFieldSize)), position + k};
}

// The problems of one script, when they are wanted.
class Problems {
 public:
  Problems(std::string_view script, std::vector<ScriptProblem>* problems)
      : script_(script), problems_(problems) {}

  // The entry at `start` makes no vehicle, for `reason`.
  void NoVehicle(std::size_t start, const char* reason) {
    if (problems_ != nullptr) {
      problems_->push_back(
          {start, "composition", "this entry makes no vehicle: " + std::string(reason)});
    }
  }
  // ParseDecimal(field), telling a field that is no number. A field joined
  // from pieces is placed at `fallback`.
  double Number(std::string_view field, const char* what, std::size_t fallback) {
    if (problems_ != nullptr && IsNotANumber(field)) {
      const bool inside =
          field.data() >= script_.data() && field.data() <= script_.data() + script_.size();
      problems_->push_back(
          {inside ? static_cast<std::size_t>(field.data() - script_.data()) : fallback,
           "not-a-number",
           "the " + std::string(what) + " \"" + std::string(field) +
               "\" is no number; it counts as 0"});
    }
    return ParseDecimal(field);
  }

 private:
  std::string_view script_;
  std::vector<ScriptProblem>* problems_;
};

struct OffsetList {
  double dx = 0;
  double dy = 0;
  double dz = 0;
  std::size_t end = 0;  // position of its ']'
};

// The offset list whose '[' is at `position`, read within one look; a ']'
// ends it once the second field has begun.
std::optional<OffsetList> ReadOffsetList(std::string_view script, std::size_t position,
                                         Problems& problems) {
  TextFields fields;
  SplitFields(LineAt(script, position), BracketEnds::kAfterFirstField, kNumberFieldSize, &fields);
  if (fields.end == kNotFound) return std::nullopt;
  return OffsetList{problems.Number(fields.field[0], "offset dx", position),
                    problems.Number(fields.field[1], "offset dy", position),
                    problems.Number(fields.field[2], "offset dz", position), position + fields.end};
}

// Where the class name of the entry whose look is `look` ends: its closing
// '"', the last before the first '[' that follows one, and that '['.
struct NameEnd {
  std::size_t close = kNotFound;
  std::size_t list = kNotFound;
};
NameEnd FindNameEnd(std::string_view look) {
  NameEnd found;
  for (std::size_t k = 2; k < look.size(); ++k) {
    if (look[k] == '"') {
      found.close = k;
    } else if (look[k] == '[' && found.close != kNotFound) {
      found.list = k;
      break;
    }
  }
  return found;
}

// The fields after the offset list that ends at `list_end`: the direction,
// then the fuel and the damage, each after a ',' and up to the next ',' or
// ']' (the damage only up to ']'). Returns the position of the entry's
// closing ']', or nothing when a field has no end on its line.
std::optional<std::size_t> ReadFieldsAfterList(std::string_view script, std::size_t list_end,
                                               std::size_t start, ScriptEntry* entry,
                                               Problems& problems) {
  struct Part {
    double ScriptEntry::*value;
    const char* what;
    std::string_view ends;
  };
  static constexpr Part kParts[] = {{&ScriptEntry::direction, "direction", ",]"},
                                    {&ScriptEntry::fuel, "fuel", ",]"},
                                    {&ScriptEntry::damage, "damage", "]"}};
  // The separator before the direction; a ']' there ends an entry without one.
  const std::optional<Field> separator = ReadField(script, list_end + 1, ",]");
  if (!separator) return std::nullopt;
  std::size_t end = separator->end;
  for (const Part& part : kParts) {
    if (script[end] != ',') break;
    const std::optional<Field> field = ReadField(script, end + 1, part.ends);
    if (!field) return std::nullopt;
    entry->*part.value = problems.Number(field->text, part.what, start);
    end = field->end;
  }
  return end;
}

// Reads the entry whose '["' is at `start`, appending it to `entries` when it
// makes one. Returns the position at which the scan goes on.
std::size_t ReadEntry(std::string_view script, std::size_t start, std::vector<ScriptEntry>* entries,
                      Problems& problems) {
  const std::string_view look = LineAt(script, start);
  const NameEnd name = FindNameEnd(look);
  if (name.close == kNotFound) {
    problems.NoVehicle(start, "its class name is not closed on its line");
    return start + 1;
  }
  const std::size_t after_name = start + name.close + 1;
  // A class name alone makes no entry and is not told.
  if (name.close + 1 < look.size() && look[name.close + 1] == ']') return after_name;
  if (name.list == kNotFound) {
    problems.NoVehicle(start, "it has no offset list on its line");
    return after_name;
  }
  const std::optional<OffsetList> offsets = ReadOffsetList(script, start + name.list, problems);
  if (!offsets) {
    problems.NoVehicle(start, "its offset list is not closed on its line");
    return after_name;
  }
  ScriptEntry entry;
  entry.class_name = script.substr(start + 2, name.close - 2);
  entry.dx = offsets->dx;
  entry.dy = offsets->dy;
  entry.dz = offsets->dz;
  const std::optional<std::size_t> end =
      ReadFieldsAfterList(script, offsets->end, start, &entry, problems);
  if (!end) {
    problems.NoVehicle(start, "it is not closed on its line");
    return after_name;
  }
  entries->push_back(entry);
  return *end + 1;
}

}  // namespace

std::vector<ScriptEntry> ScanScript(std::string_view script, std::vector<ScriptProblem>* problems) {
  std::vector<ScriptEntry> entries;
  Problems told(script, problems);
  std::size_t position = 0;
  while (position < script.size()) {
    if (script[position] == '[' && position + 1 < script.size() && script[position + 1] == '"') {
      position = ReadEntry(script, position, &entries, told);
    } else {
      ++position;
    }
  }
  return entries;
}

}  // namespace vexlar
