#include "text/position.h"

#include <algorithm>

#include "text/decimal.h"

namespace vexlar {
namespace {

// Appends the `size` characters at `run` to field `k`, within `max_field`
// characters.
inline void Take(const char* run, std::size_t size, std::size_t k, std::size_t max_field,
                 TextFields* fields) {
  std::string_view& field = fields->field[k];
  if (size > max_field - field.size()) size = max_field - field.size();
  if (size == 0) return;
  if (field.empty()) {
    field = std::string_view(run, size);
    return;
  }
  std::string& joined = fields->joined[k];
  if (joined.empty()) joined.assign(field);
  joined.append(run, size);
  field = joined;
}

}  // namespace

void SplitFields(std::string_view text, BracketEnds ends, std::size_t max_field,
                 TextFields* fields) {
  for (std::size_t k = 0; k < 3; ++k) {
    fields->field[k] = {};
    fields->joined[k].clear();
  }
  fields->end = std::string_view::npos;
  const char* const p = text.data();
  const std::size_t n = text.size();
  std::size_t k = 0;
  for (std::size_t i = 0; i < n;) {
    const char dropped = k == 0 ? '[' : ']';
    std::size_t stop = i;
    while (stop < n && p[stop] != ',' && p[stop] != dropped) ++stop;
    if (stop > i) Take(p + i, stop - i, k, max_field, fields);
    if (stop == n) return;
    if (p[stop] == ',') {
      if (k < 2) ++k;
    } else if ((ends == BracketEnds::kAfterFirstField && k > 0) ||
               (ends == BracketEnds::kInThirdField && k == 2)) {
      fields->end = stop;
      return;
    }
    i = stop + 1;
  }
}

Vec3 ParsePosition(std::string_view text) {
  TextFields fields;
  SplitFields(text, BracketEnds::kInThirdField, std::string_view::npos, &fields);
  return {ParseDecimal(fields.field[0]), ParseDecimal(fields.field[1]),
          ParseDecimal(fields.field[2])};
}

void SplitPosition(std::string_view value, TextFields* fields) {
  SplitFields(value.size() > 2 ? value.substr(1, value.size() - 2) : std::string_view(),
              BracketEnds::kNever, std::string_view::npos, fields);
  for (std::string_view& field : fields->field) {
    if (field.empty()) field = "0";
  }
}

}  // namespace vexlar
