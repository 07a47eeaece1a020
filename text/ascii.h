// ASCII letter case, the only case the file formats know: names are matched
// without regard to it, values never. Bytes outside A-Z and a-z are left as
// they are, whatever the locale.
#ifndef VEXLAR_TEXT_ASCII_H_
#define VEXLAR_TEXT_ASCII_H_

#include <string>
#include <string_view>

namespace vexlar {

/// `c` with A-Z folded to a-z.
constexpr char FoldLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// Folds every letter of `text` to lower case in place.
inline void FoldLowerInPlace(std::string& text) {
  for (char& c : text) c = FoldLower(c);
}

/// True when `a` and `b` are equal with A-Z folded to a-z. Inline: the
/// emitters test every argument against the keys of their table.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldLower(a[i]) != FoldLower(b[i])) return false;
  }
  return true;
}

/// EqualsIgnoringCase for a `key` that holds no upper-case letter, such as
/// the keys of the attribute tables: only `text` needs folding.
inline bool EqualsLowerKey(std::string_view text, std::string_view key) {
  if (text.size() != key.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (FoldLower(text[i]) != key[i]) return false;
  }
  return true;
}

}  // namespace vexlar

#endif  // VEXLAR_TEXT_ASCII_H_
