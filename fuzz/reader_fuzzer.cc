// Feeds bytes to the .kolvo reader as a whole source file: reading ends, the
// same bytes give the same store, ids are list positions, each type's index
// lists its objects, and names and values view into the bytes (or are the
// copy kept for a CR LF line end).
// The fast doubled-quote rule is checked against the literal one on each
// line of the input.
#include <algorithm>
#include <string>

#include "fuzz/fuzz_check.h"
#include "reader/quote_spans.h"
#include "reader/reader.h"
#include "store/store.h"
#include "tests/oracles/quote_rule.h"

namespace vexlar {
namespace {

// Each line of the input as a value look: at every quote, the span of the
// doubled-quote rule followed literally. One QuoteSpans serves all lines, as
// the reader keeps one for all values.
void CheckQuoteRule(std::string_view bytes) {
  QuoteSpans spans;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t line_size = std::min(bytes.find('\n', start), bytes.size() - 1) - start + 1;
    // A look holds up to 1023 characters. On one with many quotes the literal
    // rule can take seconds, so only its start is compared.
    std::string_view look = bytes.substr(start, std::min<std::size_t>(line_size, 1023));
    if (std::count(look.begin(), look.end(), '"') > 32) look = look.substr(0, 64);
    start += line_size;
    spans.Reset(look);
    for (std::size_t a = look.find('"'); a != std::string_view::npos; a = look.find('"', a + 1)) {
      FUZZ_CHECK(spans.Span(a, 2) == oracle::QuoteRunSpan(look, a, 2));
    }
  }
}

void CheckStore(ObjectStore* store, std::string_view bytes) {
  for (std::uint32_t i = 0; i < store->NextObjectId(); ++i) {
    const SourceObject& object = store->object(i);
    FUZZ_CHECK(object.id == i);
    FUZZ_CHECK(fuzz::ViewsInto(object.name(), bytes));
    for (const ObjectArgument argument : object.arguments()) {
      FUZZ_CHECK(fuzz::ViewsInto(argument.name, bytes));
      if (fuzz::ViewsInto(argument.value, bytes)) continue;
      // The copy of a value that runs into a CR LF line end, which the
      // reader's look turns into a single "\n".
      const std::string_view value = argument.value;
      FUZZ_CHECK(!value.empty() && value.find('\n') == value.size() - 1);
      const std::string as_written = std::string(value.substr(0, value.size() - 1)) + "\r\n";
      FUZZ_CHECK(bytes.find(as_written) != std::string_view::npos);
    }
  }
  // The index of each type hands out exactly the objects of that type, in list order.
  for (std::size_t code = 0; code < kObjectTypeCount; ++code) {
    const auto type = static_cast<ObjectType>(code);
    VisitedIds visited;
    for (std::uint32_t i = 0; i < store->NextObjectId(); ++i) {
      const SourceObject& object = store->object(i);
      if (object.type == type) FUZZ_CHECK(store->NextObjectOfType(type, &visited) == &object);
    }
    FUZZ_CHECK(store->NextObjectOfType(type, &visited) == nullptr);
  }
}

void FuzzReader(std::string_view bytes) {
  CheckQuoteRule(bytes);
  ObjectStore first;
  ReadSourceFile(bytes, &first);
  CheckStore(&first, bytes);
  ObjectStore second;
  ReadSourceFile(bytes, &second);
  FUZZ_CHECK(first.DebugString() == second.DebugString());
}

}  // namespace
}  // namespace vexlar

FUZZ_TARGET(vexlar::FuzzReader)
