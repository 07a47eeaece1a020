// Feeds bytes to the .kolvo reader as a whole source file and checks what
// must hold for every input: reading ends, the same bytes give the same
// store, and every object and argument is shaped as the reader promises.
// The doubled-quote rule of values is checked against its literal form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "reader/quote_spans.h"
#include "reader/reader.h"
#include "store/store.h"

namespace vexlar {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The name of an argument starts with a letter and ends before the first
// blank or '=' of its 63-character look.
void CheckArgument(const ObjectArgument& argument, std::string_view text) {
  FUZZ_CHECK(fuzz::ViewsInto(argument.name, text));
  FUZZ_CHECK(!argument.name.empty() && IsLetter(argument.name.front()));
  FUZZ_CHECK(argument.name.size() <= 62);
  FUZZ_CHECK(argument.name.find_first_of(" \t\n=") == std::string_view::npos);
  // A value comes from one look of at most 1023 characters that starts at
  // its opening quote; only a line end that closes the look can be in it.
  const std::string_view value = argument.value;
  FUZZ_CHECK(value.size() <= 1022);
  const std::size_t line_end = value.find('\n');
  FUZZ_CHECK(line_end == std::string_view::npos || line_end + 1 == value.size());
  if (!fuzz::ViewsInto(value, text)) {
    // A copy is kept only for a value that runs into a CR LF line end,
    // which the look reads as a single "\n".
    FUZZ_CHECK(line_end != std::string_view::npos);
    std::string as_written(value.substr(0, value.size() - 1));
    as_written += "\r\n";
    FUZZ_CHECK(text.find(as_written) != std::string_view::npos);
  }
}

void CheckStore(ObjectStore& store, std::string_view text) {
  const ObjectList& objects = store.objects();
  FUZZ_CHECK(objects.size() == store.NextObjectId());
  std::size_t of_type[kObjectTypeCount] = {};
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const SourceObject& object = objects[i];
    FUZZ_CHECK(object.id == i);
    FUZZ_CHECK(fuzz::ViewsInto(object.name, text));
    FUZZ_CHECK(object.name.size() <= 62);
    FUZZ_CHECK(object.name.find('_') == std::string_view::npos);
    FUZZ_CHECK(object.nameNumber >= kNoHeaderNumber);
    const auto code = static_cast<std::size_t>(object.type);
    FUZZ_CHECK(code < kObjectTypeCount || object.type == ObjectType::kUnknown);
    if (code < kObjectTypeCount) ++of_type[code];
    for (const ObjectArgument& argument : object.arguments) CheckArgument(argument, text);
  }
  // Each type is handed out once per object of that type, in list order,
  // and again from the start after Clear().
  for (std::size_t code = 0; code < kObjectTypeCount; ++code) {
    const auto type = static_cast<ObjectType>(code);
    VisitedIds visited;
    for (int pass = 0; pass < 2; ++pass) {
      std::size_t count = 0;
      std::int64_t last_id = -1;
      while (const SourceObject* object = store.NextObjectOfType(type, &visited)) {
        FUZZ_CHECK(object->type == type);
        FUZZ_CHECK(static_cast<std::int64_t>(object->id) > last_id);
        last_id = object->id;
        FUZZ_CHECK(++count <= of_type[code]);
      }
      FUZZ_CHECK(count == of_type[code]);
      visited.Clear();
    }
  }
  VisitedIds unknown;
  FUZZ_CHECK(store.NextObjectOfType(ObjectType::kUnknown, &unknown) == nullptr);
}

// ExtractValue and QuoteSpans give what the doubled-quote rule, followed
// literally by QuoteRunSpan, gives, with the input's start read as a look
// (short, since the literal rule is slow on some looks).
void CheckQuoteRule(std::string_view bytes) {
  const std::string_view look = bytes.substr(0, 400);
  const ExtractedValue got = ExtractValue(look);
  const std::size_t open = look.find('"');
  if (open == std::string_view::npos) {
    FUZZ_CHECK(got.count == 0 && got.value.empty());
    return;
  }
  std::size_t i = open + 1;
  while (i < look.size()) {
    if (look[i] != '"') {
      ++i;
      continue;
    }
    const std::size_t span = QuoteRunSpan(look, i, 2);
    if (span == 0) break;
    i += span;
  }
  FUZZ_CHECK(got.count == i + 1);
  FUZZ_CHECK(got.value.data() == look.data() + open + 1 && got.value.size() == i - open - 1);

  const std::string_view short_look = look.substr(0, 120);
  QuoteSpans spans(short_look);
  for (std::size_t a = 0; a < short_look.size(); ++a) {
    if (short_look[a] != '"') continue;
    for (std::size_t b = 1; b <= 3; ++b) {
      FUZZ_CHECK(spans.Span(a, b) == QuoteRunSpan(short_look, a, b));
    }
  }
}

void FuzzReader(std::string_view bytes) {
  CheckQuoteRule(bytes);
  ObjectStore first;
  ReadSourceText(bytes, &first);
  CheckStore(first, bytes);
  ObjectStore second;
  ReadSourceText(bytes, &second);
  FUZZ_CHECK(first.DebugString() == second.DebugString());
}

}  // namespace
}  // namespace vexlar

// libFuzzer hands each input over in a buffer of exactly its size, so a read
// past the end of the bytes is caught.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexlar::FuzzReader(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
