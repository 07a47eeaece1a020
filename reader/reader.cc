#include "reader/reader.h"

#include <cstring>
#include <limits>

#include "platform/platform.h"
#include "reader/quote_spans.h"
#include "text/line_end.h"

namespace vexlar {
namespace {

// The most characters a look takes: for a header's name, number and
// objectType keyword and for an argument's name; for an argument's value.
// Whatever a look holds, the store keeps as its place in the source.
constexpr std::size_t kNameLook = 63;
constexpr std::size_t kValueLook = 1023;
static_assert(kNameLook <= kLongestPackedName, "an argument's name packs");
static_assert(kValueLook <= kLongestPackedValue, "an argument's value packs");
static_assert(kNameLook <= SourceObject::kMaxNameSize, "a header's name fits an object");

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// A line end inside a look is always its last character, so where two
// characters are looked at, only a space or a tab can be the blank.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The header number in `digits`, the look after the name's underscore:
// the digits that directly follow that underscore, up to the first digit
// followed by a blank, capped at INT32_MAX. Anything else before that blank
// leaves `*number` as it is (no number). Returns the count of characters
// up to that blank, or 0 when the look holds no digit before a blank.
std::size_t ReadHeaderNumber(std::string_view digits, std::int32_t* number) {
  for (std::size_t e = 1; e < digits.size(); ++e) {
    if (!IsDigit(digits[e - 1]) || !IsBlank(digits[e])) continue;
    std::int64_t value = -1;
    for (std::size_t i = 1; i < e && IsDigit(digits[i]); ++i) {
      value = std::min<std::int64_t>((value < 0 ? 0 : value) * 10 + (digits[i] - '0'),
                                     std::numeric_limits<std::int32_t>::max());
    }
    if (value >= 0) *number = static_cast<std::int32_t>(value);
    return e;
  }
  return 0;
}

// Characters read from the cursor: at most a given count, stopping after a
// line end, which belongs to the look. A CR LF line end (text/line_end.h)
// is read as "\n".
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
  SourceScanner(std::string_view text, ObjectStore* store, Findings* findings,
                std::string_view path)
      : text_(text), store_(store), findings_(findings), path_(path) {}

  void ReadAll() {
    do {
      ReadObject();
    } while (!at_end_);
  }

 private:
  // The common look inline: a plain LF line end within the count.
  Look LookAhead(std::size_t count) {
    if (cursor_ < text_.size()) {
      const std::size_t line_end = NextLineEnd();
      const std::size_t k = line_end - cursor_;
      // The LF at line_end must not end a CR LF inside the look.
      if (line_end < text_.size() && k < count &&
          (k == 0 || LineEndSizeAt(text_, line_end - 1) != 2)) {
        at_end_ = false;
        Look look;
        look.chars = text_.substr(cursor_, k + 1);
        look.start = cursor_;
        return look;
      }
    }
    return LookAheadSlowly(count);
  }
  Look LookAheadSlowly(std::size_t count);
  bool ReadObject();
  // The header: "class", a blank, "_", the name, "_", the number, a blank.
  // Sets name_ and number_; false when the file holds no further header.
  bool ReadHeader();
  // Sets the object's type from the quoted keyword after "objectType"; an
  // object left of no known type is told of, as it will be dropped.
  void ReadType(SourceObject& object);
  void ReadArgumentsBlock(SourceObject& object);
  // Reads one argument into `object`, or stops on the block's closing brace.
  void ReadArgument(SourceObject& object);
  // The searches below move the cursor to where a look stepped forward one
  // byte at a time would first see what they seek, and leave at_end_ as that
  // look would: false on success; true when the file ends first. A look
  // equals a text without line ends exactly when the raw bytes do (a CR LF
  // pair reads as a line end), so the bytes are searched directly.
  //
  // Searches for `word`, which holds no line end; false at the end of the file.
  bool SkipTo(std::string_view word);
  // Searches for the character `c`, no line end.
  bool SkipToChar(char c);
  // Searches for a space or a tab whose next character passes `accept`,
  // which takes no line end or CR. (A look of two that starts on a line end
  // ends there; one that starts on a CR before LF reads only the line end.)
  bool SkipToBlankBefore(bool (*accept)(char));
  bool Found(std::size_t position);
  // The position of the first LF at or after the cursor, or the file's size.
  // Remembered while the cursor has not passed it, so that the looks of one
  // line search it once.
  std::size_t NextLineEnd() {
    if (line_end_known_ && next_line_end_ >= cursor_) return next_line_end_;
    return FindNextLineEnd();
  }
  std::size_t FindNextLineEnd();
  // A view of `part`, a piece of `look`, that stays valid for the run.
  std::string_view Keep(const Look& look, std::string_view part);
  // Reports a finding at `offset` about the object being read.
  template <typename MakeMessage>
  void Report(const char* kind, std::size_t offset, MakeMessage&& message) {
    if (findings_ != nullptr) {
      findings_->Report(kind, {path_, text_, offset}, object_id_,
                        std::forward<MakeMessage>(message));
    }
  }
  // SkipToBlankBefore for a name or a closing brace, telling of those the
  // search passes over at the start of a line.
  bool SkipToArgument();
  // "_name_number" of the object being read, for messages.
  std::string Header() const;

  std::string_view text_;
  ObjectStore* store_;
  Findings* findings_;     // or null
  std::string_view path_;  // the source as findings name it
  std::size_t cursor_ = 0;
  // The object being read: where its header starts, its name and number.
  std::size_t header_ = 0;
  std::string_view name_;
  std::int32_t number_ = kNoHeaderNumber;
  std::uint32_t object_id_ = Finding::kNoObject;
  bool at_end_ = false;
  std::size_t next_line_end_ = 0;  // see NextLineEnd
  bool line_end_known_ = false;
  std::string scratch_;  // the characters of the last translated look
  QuoteSpans quotes_;    // of the value being read
};

Look SourceScanner::LookAheadSlowly(std::size_t count) {
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
  const char* newline = nullptr;
  if (NextLineEnd() - cursor_ < reach) newline = text_.data() + next_line_end_;
  if (newline != nullptr) {
    const auto k = static_cast<std::size_t>(newline - start);
    if (k >= 1 && LineEndSizeAt(text_, next_line_end_ - 1) == 2 && k <= count) {
      scratch_.assign(start, k - 1);
      scratch_ += '\n';
      look.chars = scratch_;
      look.translated = true;
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

// The cursor never moves back, so a line end found from an earlier cursor is
// still the first one from a later cursor that has not passed it.
std::size_t SourceScanner::FindNextLineEnd() {
  line_end_known_ = true;
  const void* at = cursor_ < text_.size()
                       ? std::memchr(text_.data() + cursor_, '\n', text_.size() - cursor_)
                       : nullptr;
  next_line_end_ = at == nullptr
                       ? text_.size()
                       : static_cast<std::size_t>(static_cast<const char*>(at) - text_.data());
  return next_line_end_;
}

bool SourceScanner::Found(std::size_t position) {
  at_end_ = position == std::string_view::npos;
  cursor_ = at_end_ ? text_.size() : position;
  return !at_end_;
}

bool SourceScanner::SkipTo(std::string_view word) {
  // The words sought lie a few bytes ahead: a plain loop is quickest.
  const std::size_t size = text_.size();
  for (std::size_t p = cursor_; p < size && size - p >= word.size(); ++p) {
    if (text_[p] != word[0]) continue;
    std::size_t k = 1;
    while (k < word.size() && text_[p + k] == word[k]) ++k;
    if (k == word.size()) return Found(p);
  }
  return Found(std::string_view::npos);
}

bool SourceScanner::SkipToChar(char c) {
  if (cursor_ >= text_.size()) return Found(std::string_view::npos);
  const void* at = std::memchr(text_.data() + cursor_, c, text_.size() - cursor_);
  return Found(at == nullptr
                   ? std::string_view::npos
                   : static_cast<std::size_t>(static_cast<const char*>(at) - text_.data()));
}

bool SourceScanner::SkipToBlankBefore(bool (*accept)(char)) {
  const std::size_t size = text_.size();
  for (std::size_t p = cursor_; p + 1 < size; ++p) {
    const char c = text_[p];
    if ((c == ' ' || c == '\t') && accept(text_[p + 1])) return Found(p);
  }
  return Found(std::string_view::npos);
}

// Reads one object at the cursor and appends it to the store; false when
// no further object was found.
bool SourceScanner::ReadObject() {
  if (!ReadHeader()) return false;
  SourceObject object = store_->NewSourceObject();
  object.SetName(name_);
  object.nameNumber = number_;
  object_id_ = object.id;
  ReadType(object);
  ReadArgumentsBlock(object);
  store_->AppendToList(object);
  return true;
}

bool SourceScanner::ReadHeader() {
  if (!SkipTo("class")) return false;
  header_ = cursor_;
  object_id_ = Finding::kNoObject;
  cursor_ += 5;
  if (!SkipToBlankBefore([](char c) { return c == '_'; })) return false;
  cursor_ += 2;
  const Look name_look = LookAhead(kNameLook);
  const std::size_t name_length = name_look.chars.find('_');
  // A header whose name has no second underscore in reach is no header; the
  // search for the next one goes on from here.
  if (name_length == std::string_view::npos) return false;
  const std::string_view name = text_.substr(cursor_, name_length);
  cursor_ += name_length;

  const Look number_look = LookAhead(kNameLook);
  const std::string_view digits = number_look.chars;
  std::int32_t number = kNoHeaderNumber;
  cursor_ += ReadHeaderNumber(digits, &number);
  name_ = name;
  number_ = number;
  if (number_look.reached_end) {
    Report("cut-off", header_, [&] {
      return "the file ends in the header _" + std::string(name) + std::string(digits) +
             "; the object is dropped";
    });
    return false;
  }
  return true;
}

void SourceScanner::ReadType(SourceObject& object) {
  std::string_view keyword;
  bool keyword_closed = false;
  if (SkipTo("objectType")) {
    cursor_ += 11;
    if (SkipToChar('"')) {
      ++cursor_;
      const Look keyword_look = LookAhead(kNameLook);
      const std::size_t quote = keyword_look.chars.find('"');
      keyword_closed = quote != std::string_view::npos;
      keyword = keyword_look.chars.substr(0, quote);
      if (keyword_closed) object.type = ObjectTypeFromKeyword(keyword);
    }
  }
  if (object.type == ObjectType::kUnknown) {
    Report("unknown-type", header_, [&] {
      if (at_end_)
        return "the file ends before the objectType of " + Header() + "; the object is dropped";
      if (!keyword_closed)
        return "the objectType of " + Header() + " has no closing quote; the object is dropped";
      return "objectType \"" + std::string(keyword) + "\" of " + Header() +
             " is no known type; the object is dropped";
    });
  }
}

std::string SourceScanner::Header() const { return HeaderName(name_, number_); }

bool SourceScanner::SkipToArgument() {
  const auto starts_argument = [](char c) { return IsLetter(c) || c == '}'; };
  const std::size_t size = text_.size();
  for (std::size_t p = cursor_; p + 1 < size; ++p) {
    const char c = text_[p];
    if (c == ' ' || c == '\t') {
      if (starts_argument(text_[p + 1])) return Found(p);
    } else if (c == '\n' && starts_argument(text_[p + 1])) {
      Report("line-start", p + 1, [&] {
        return std::string(text_[p + 1] == '}'
                               ? "a closing brace at the start of a line does not end the "
                                 "arguments"
                               : "a name at the start of a line is passed over: an argument "
                                 "needs a blank before it");
      });
    }
  }
  return Found(std::string_view::npos);
}

void SourceScanner::ReadArgumentsBlock(SourceObject& object) {
  // An object dropped for its type needs no more words; one that is kept
  // without all its arguments does.
  const auto cut_off = [&](const char* where) {
    if (object.type == ObjectType::kUnknown) return;
    Report("cut-off", header_, [&] {
      return "the file ends " + std::string(where) + " of " + Header() +
             "; the object is kept without " +
             (object.arguments().empty() ? "arguments" : "the rest");
    });
  };
  if (at_end_ || !SkipTo("Arguments")) return cut_off("before the Arguments block");
  cursor_ += 9;
  if (!SkipToChar('{')) return cut_off("before the Arguments block");
  ++cursor_;
  // After each argument one character is looked at the cursor: it reaches
  // the end only when no character is left, so a name or value look that
  // ran to the end of the file does not end the block; the next argument on
  // that last line is still read. A search that reaches the end leaves the
  // cursor there, and that ends it.
  for (;;) {
    // A look of one character: none at the end of the file, else the byte
    // itself (a CR before LF reads as a line end, which is no brace).
    at_end_ = cursor_ >= text_.size();
    if (at_end_) {
      cut_off("in the Arguments block");
      break;
    }
    if (text_[cursor_] == '}') break;
    ReadArgument(object);
  }
}

void SourceScanner::ReadArgument(SourceObject& object) {
  if (at_end_) return;
  // A name or the closing brace counts only right after a space or a tab.
  if (!SkipToArgument()) return;
  ++cursor_;
  if (text_[cursor_] == '}') return;
  const Look name_look = LookAhead(kNameLook);
  // The name ends at the first blank or the equals sign.
  const std::string_view chars = name_look.chars;
  std::size_t name_end = 0;
  while (name_end < chars.size() && chars[name_end] != '=' && !IsBlank(chars[name_end])) {
    ++name_end;
  }
  std::size_t equals = name_end;
  while (equals < chars.size() && chars[equals] != '=') ++equals;
  // Without an equals sign in reach the line holds no argument; the search
  // goes on from the name's first letter.
  if (equals == chars.size()) return;
  const std::string_view name = text_.substr(cursor_, name_end);

  cursor_ += equals + 1;
  const Look value_look = LookAhead(kValueLook);
  const ExtractedValue extracted = ExtractValue(value_look.chars, &quotes_);
  // Without a quote in the rest of the line there is no value; the search
  // goes on after the equals sign.
  if (extracted.count == 0) return;
  if (extracted.count > value_look.chars.size()) {
    Report("unclosed-value", static_cast<std::size_t>(name.data() - text_.data()), [&] {
      return "the value of " + std::string(name) + " has no closing quote on its line";
    });
  }
  store_->AppendArgument(object, {name, Keep(value_look, extracted.value)});
  cursor_ += extracted.count;
}

}  // namespace

void ReadSourceFile(std::string_view text, ObjectStore* store, Findings* findings) {
  store->SetSource(text);
  SourceScanner(text, store, findings, findings != nullptr ? findings->source_path() : "")
      .ReadAll();
}

std::optional<std::string_view> LoadSourceFile(const std::string& source_path, ObjectStore* store,
                                               RunLog* log) {
  platform::FileBytes bytes;
  if (!platform::ReadWholeFile(source_path, &bytes)) {
    log->Error("CKOLVO: Cannot open file!\n");
    return std::nullopt;
  }
  return store->KeepFile(std::move(bytes));
}

}  // namespace vexlar
