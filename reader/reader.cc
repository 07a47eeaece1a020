#include "reader/reader.h"

#include <cstring>
#include <limits>
#include <vector>

#include "platform/platform.h"

namespace vexlar {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// A line end inside a look is always its last character, so where two
// characters are looked at, only a space or a tab can be the blank.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Characters read from the cursor: at most a given count, stopping after a
// line end, which belongs to the look. A CR LF pair is one line end, read as
// "\n"; a lone CR is an ordinary character.
struct Look {
  std::string_view chars;
  std::size_t start = 0;     // byte offset of the first character
  bool translated = false;   // chars ends in a "\n" that stands for CR LF
  bool reached_end = false;  // the file ended before the count and before a line end
};

// The scanner's state: the source bytes, the byte cursor carried from object
// to object, and whether the last look reached the end of the file.
class SourceScanner {
 public:
  SourceScanner(std::string_view text, ObjectStore* store) : text_(text), store_(store) {}

  void ReadAll() {
    do {
      ReadObject();
    } while (!at_end_);
  }

 private:
  Look LookAt(std::size_t count);
  bool ReadObject();
  void ReadArgumentsBlock(SourceObject& object);
  // Reads one argument into arguments_, or stops on the block's closing brace.
  void ReadArgument();
  // Searches forward one byte at a time for `word`; false at the end of the file.
  bool SkipTo(std::string_view word);
  // A view of `part`, a piece of `look`, that stays valid for the run.
  std::string_view Keep(const Look& look, std::string_view part);

  std::string_view text_;
  ObjectStore* store_;
  std::size_t cursor_ = 0;
  bool at_end_ = false;
  std::string scratch_;                    // the characters of the last translated look
  std::vector<ObjectArgument> arguments_;  // of the block being read
};

Look SourceScanner::LookAt(std::size_t count) {
  Look look;
  look.start = cursor_;
  if (cursor_ >= text_.size()) {
    look.reached_end = at_end_ = true;
    return look;
  }
  const char* start = text_.data() + cursor_;
  const std::size_t available = text_.size() - cursor_;
  // A CR LF pair is two bytes for one character, so a line end can lie one
  // byte beyond the count.
  const std::size_t reach = std::min(count + 1, available);
  const auto* newline = static_cast<const char*>(std::memchr(start, '\n', reach));
  if (newline != nullptr) {
    const auto k = static_cast<std::size_t>(newline - start);
    if (k >= 1 && start[k - 1] == '\r' && k <= count) {
      scratch_.assign(start, k - 1);
      scratch_ += '\n';
      look.chars = scratch_;
      look.translated = true;
      at_end_ = false;
      return look;
    }
    if (k + 1 <= count) {
      look.chars = std::string_view(start, k + 1);
      at_end_ = false;
      return look;
    }
  }
  look.chars = std::string_view(start, std::min(count, available));
  look.reached_end = at_end_ = available < count;
  return look;
}

std::string_view SourceScanner::Keep(const Look& look, std::string_view part) {
  const auto offset = static_cast<std::size_t>(part.data() - look.chars.data());
  if (look.translated && offset + part.size() == look.chars.size() && !part.empty()) {
    return store_->KeepText(std::string(part));
  }
  return text_.substr(look.start + offset, part.size());
}

bool SourceScanner::SkipTo(std::string_view word) {
  for (;;) {
    const Look look = LookAt(word.size());
    if (look.chars == word) return true;
    ++cursor_;
    if (look.reached_end) return false;
  }
}

// Reads one object at the cursor and appends it to the store; false when
// no further object was found.
bool SourceScanner::ReadObject() {
  // The header: "class", a blank, "_", the name, "_", the number, a blank.
  for (;;) {
    const Look look = LookAt(5);
    if (look.chars.empty()) return false;
    if (look.chars == "class") break;
    ++cursor_;
  }
  cursor_ += 5;
  for (;;) {
    const Look look = LookAt(2);
    if (look.chars.size() == 2 && IsBlank(look.chars[0]) && look.chars[1] == '_') break;
    ++cursor_;
    if (look.reached_end) return false;
  }
  cursor_ += 2;
  const Look name_look = LookAt(63);
  const std::size_t name_length = name_look.chars.find('_');
  // A header whose name has no second underscore in reach is no header; the
  // search for the next one goes on from here.
  if (name_length == std::string_view::npos) return false;
  const std::string_view name = text_.substr(cursor_, name_length);
  cursor_ += name_length;

  const Look number_look = LookAt(63);
  const std::string_view digits = number_look.chars;
  std::int32_t number = kNoHeaderNumber;
  for (std::size_t e = 1; e < digits.size(); ++e) {
    if (!IsDigit(digits[e - 1]) || !IsBlank(digits[e])) continue;
    // The digits that directly follow the underscore; anything else before
    // the blank leaves the object without a number.
    std::int64_t value = -1;
    for (std::size_t i = 1; i < e && IsDigit(digits[i]); ++i) {
      value = std::min<std::int64_t>((value < 0 ? 0 : value) * 10 + (digits[i] - '0'),
                                     std::numeric_limits<std::int32_t>::max());
    }
    if (value >= 0) number = static_cast<std::int32_t>(value);
    cursor_ += e;
    break;
  }
  if (number_look.reached_end) return false;

  SourceObject object = store_->NewSourceObject();
  object.name = name;
  object.nameNumber = number;

  if (SkipTo("objectType")) {
    cursor_ += 11;
    for (;;) {
      const Look look = LookAt(1);
      if (look.chars.empty()) break;
      if (look.chars == "\"") {
        ++cursor_;
        const Look keyword_look = LookAt(63);
        const std::size_t quote = keyword_look.chars.find('"');
        if (quote != std::string_view::npos) {
          object.type = ObjectTypeFromKeyword(keyword_look.chars.substr(0, quote));
        }
        break;
      }
      ++cursor_;
    }
  }
  ReadArgumentsBlock(object);
  store_->AppendToList(std::move(object));
  return true;
}

void SourceScanner::ReadArgumentsBlock(SourceObject& object) {
  if (at_end_) return;
  if (!SkipTo("Arguments")) return;
  cursor_ += 9;
  for (;;) {
    const Look look = LookAt(1);
    if (look.chars.empty()) return;
    if (look.chars == "{") break;
    ++cursor_;
  }
  ++cursor_;
  arguments_.clear();
  for (;;) {
    const Look look = LookAt(1);
    if (look.chars.empty() || look.chars == "}") break;
    ReadArgument();
    if (at_end_) break;
  }
  // One exact-size allocation per object.
  object.arguments.assign(arguments_.begin(), arguments_.end());
}

void SourceScanner::ReadArgument() {
  if (at_end_) return;
  // A name or the closing brace counts only right after a space or a tab.
  for (;;) {
    const Look look = LookAt(2);
    if (look.chars.size() == 2 && IsBlank(look.chars[0])) {
      if (IsLetter(look.chars[1])) break;
      if (look.chars[1] == '}') {
        ++cursor_;
        return;
      }
    }
    ++cursor_;
    if (look.reached_end) return;
  }
  ++cursor_;
  const Look name_look = LookAt(63);
  const std::size_t equals = name_look.chars.find('=');
  // Without an equals sign in reach the line holds no argument; the search
  // goes on from the name's first letter.
  if (equals == std::string_view::npos) return;
  const std::size_t name_end = name_look.chars.find_first_of(" \t\n=");
  const std::string_view name = text_.substr(cursor_, name_end);

  cursor_ += equals + 1;
  const Look value_look = LookAt(1023);
  const ExtractedValue extracted = ExtractValue(value_look.chars);
  // Without a quote in the rest of the line there is no value; the search
  // goes on after the equals sign.
  if (extracted.count == 0) return;
  arguments_.push_back({name, Keep(value_look, extracted.value)});
  cursor_ += extracted.count;
}

}  // namespace

std::size_t QuoteRunSpan(std::string_view look, std::size_t a, std::size_t b) {
  const std::size_t n = look.size();
  std::size_t d = a + b;
  if (d >= n) return 0;
  for (;;) {
    if (n - d < b) return 0;
    if (look.substr(d, b).find_first_not_of('"') == std::string_view::npos) {
      if (d + b >= n || look[d + b] != '"') return d - a + b;
      const std::size_t deeper = QuoteRunSpan(look, d, 2 * b);
      if (deeper == 0) return d - a + b;
      d += deeper - 1;
    }
    ++d;
    if (d >= n) return 0;
  }
}

ExtractedValue ExtractValue(std::string_view look) {
  const std::size_t open = look.find('"');
  if (open == std::string_view::npos) return {std::string_view(), 0};
  // Doubled-quote sections stay in the value as written; the first quote
  // that starts none closes it.
  std::size_t i = open + 1;
  while (i < look.size()) {
    if (look[i] == '"') {
      const std::size_t span = QuoteRunSpan(look, i, 2);
      if (span == 0) break;
      i += span;
    } else {
      ++i;
    }
  }
  return {look.substr(open + 1, i - open - 1), i + 1};
}

void ReadSourceText(std::string_view text, ObjectStore* store) {
  SourceScanner(text, store).ReadAll();
}

bool ReadSourceFile(const std::string& source_path, ObjectStore* store, RunLog* log) {
  std::string bytes;
  if (!platform::ReadWholeFile(source_path, &bytes)) {
    log->Line("CKOLVO: Cannot open file!\n");
    return false;
  }
  ReadSourceText(store->KeepText(std::move(bytes)), store);
  return true;
}

}  // namespace vexlar
