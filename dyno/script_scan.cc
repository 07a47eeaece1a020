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

// Reads the entry whose '["' is at `start`, appending it to `entries` when it
// makes one. Returns the position at which the scan goes on.
std::size_t ReadEntry(std::string_view script, std::size_t start, std::vector<ScriptEntry>* entries,
                      Problems& problems) {
  const std::string_view look = LineAt(script, start);
  std::size_t close = kNotFound;
  std::size_t list = kNotFound;
  for (std::size_t k = 2; k < look.size(); ++k) {
    if (look[k] == '"') {
      close = k;
    } else if (look[k] == '[' && close != kNotFound) {
      list = k;
      break;
    }
  }
  if (close == kNotFound) {
    problems.NoVehicle(start, "its class name is not closed on its line");
    return start + 1;
  }
  const std::size_t after_name = start + close + 1;
  if (close + 1 < look.size() && look[close + 1] == ']') return after_name;  // class name alone
  if (list == kNotFound) {
    problems.NoVehicle(start, "it has no offset list on its line");
    return after_name;
  }

  const std::optional<OffsetList> offsets = ReadOffsetList(script, start + list, problems);
  if (!offsets) {
    problems.NoVehicle(start, "its offset list is not closed on its line");
    return after_name;
  }
  const auto unclosed = [&] {
    problems.NoVehicle(start, "it is not closed on its line");
    return after_name;
  };
  ScriptEntry entry;
  entry.class_name = script.substr(start + 2, close - 2);
  entry.dx = offsets->dx;
  entry.dy = offsets->dy;
  entry.dz = offsets->dz;

  // The separator before the direction; a ']' there ends an entry without one.
  const std::optional<Field> separator = ReadField(script, offsets->end + 1, ",]");
  if (!separator) return unclosed();
  std::size_t end = separator->end;
  if (script[end] == ',') {
    const std::optional<Field> direction = ReadField(script, end + 1, ",]");
    if (!direction) return unclosed();
    entry.direction = problems.Number(direction->text, "direction", start);
    end = direction->end;
    if (script[end] == ',') {
      const std::optional<Field> fuel = ReadField(script, end + 1, ",]");
      if (!fuel) return unclosed();
      entry.fuel = problems.Number(fuel->text, "fuel", start);
      end = fuel->end;
      if (script[end] == ',') {
        const std::optional<Field> damage = ReadField(script, end + 1, "]");
        if (!damage) return unclosed();
        entry.damage = problems.Number(damage->text, "damage", start);
        end = damage->end;
      }
    }
  }
  entries->push_back(entry);
  return end + 1;
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
