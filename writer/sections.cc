#include "writer/sections.h"

#include <algorithm>

#include "text/line_end.h"

namespace vexlar {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

class SectionScanner {
 public:
  explicit SectionScanner(std::string_view text) : text_(text) {}

  SectionLayout Scan() {
    SectionLayout layout;
    std::string& problem = layout.problem;
    const std::size_t line_end = LineEndSizeAt(text_, 11);
    if (text_.substr(0, 11) == "version=11;" && line_end != 0) at_ = 11 + line_end;
    if (at_ == 0) return Fail(&layout, "the first line is not version=11;");
    for (std::size_t s = 0; s < kSectionNames.size(); ++s) {
      const std::string expected(kSectionNames[s]);
      SkipBlanks();
      layout.begin[s] = at_;
      if (at_ == text_.size()) return Fail(&layout, "class " + expected + " is missing");
      const std::string name = ClassName();
      if (name.empty()) {
        return Fail(&layout, "something other than a class stands where class " + expected +
                                 " should begin");
      }
      if (name != expected) return Fail(&layout, OutOfOrder(name, expected));
      problem = CloseClass(name);
      if (!problem.empty()) return layout;
      layout.end[s] = at_;
    }
    SkipBlanks();
    if (at_ < text_.size()) {
      const std::string name = ClassName();
      return Fail(&layout, name.empty() ? "something other than a class follows class OutroLoose"
                                        : "an extra top-level class " + name);
    }
    return layout;
  }

 private:
  // The problem of the class `name` standing where `expected` should.
  static std::string OutOfOrder(const std::string& name, const std::string& expected) {
    const bool known =
        std::find(kSectionNames.begin(), kSectionNames.end(), name) != kSectionNames.end();
    if (!known) return "an extra top-level class " + name;
    return "class " + name + " stands where class " + expected +
           " should: the sections must be Intro, Mission, OutroWin, OutroLoose, in this order";
  }

  static SectionLayout Fail(SectionLayout* layout, std::string problem) {
    layout->problem = std::move(problem);
    return *layout;
  }

  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  // "class <name>" at the cursor: its name, the cursor after it; else "".
  std::string ClassName() {
    if (text_.substr(at_, 5) != "class") return {};
    std::size_t p = at_ + 5;
    const std::size_t blanks = p;
    while (p < text_.size() && IsBlank(text_[p])) ++p;
    const std::size_t start = p;
    while (p < text_.size() && IsNameCharacter(text_[p])) ++p;
    if (start == blanks || p == start) return {};  // "class" and a name, blanks between
    at_ = p;
    return std::string(text_.substr(start, p - start));
  }

  // From after the class name to after its "};". Returns what is wrong, or "".
  std::string CloseClass(const std::string& name) {
    SkipBlanks();
    if (at_ == text_.size() || text_[at_] != '{') return "class " + name + " has no opening brace";
    std::size_t depth = 0;
    for (; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') {
        // A quoted text; two quotes in a row stand for one inside it.
        for (++at_; at_ < text_.size(); ++at_) {
          if (text_[at_] != '"') continue;
          if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
            ++at_;
            continue;
          }
          break;
        }
        if (at_ == text_.size()) return "the file ends inside a quoted text of class " + name;
      } else if (c == '{') {
        ++depth;
      } else if (c == '}' && --depth == 0) {
        break;
      }
    }
    if (at_ == text_.size())
      return "the file ends inside class " + name + ": a brace is not closed";
    ++at_;
    if (at_ == text_.size() || text_[at_] != ';') return "class " + name + " does not end in };";
    ++at_;
    return {};
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

SectionLayout FindSections(std::string_view text) { return SectionScanner(text).Scan(); }

}  // namespace vexlar
