// Tables of byte-exact cases kept in data files beside the tests, each case
// one or more input texts and the text expected from them.
//
// Format, line by line (a CR before a line's LF is ignored):
//   # ...        a comment, such as what the next case shows
//   < TEXT       one input of the case; a case may have several, in order
//   > TEXT       the expected output; it ends the case
//   (blank)      ignored
// TEXT is the rest of the line after "< " or "> " ("<" or ">" alone is an
// empty text). It holds no line end of its own: a line end is written \n, so
// a text without a final \n has none. Quotes stand as themselves. Escapes:
//   \n line end   \r CR   \t tab   \s blank   \\ backslash
//   \N*C          N times the character C, which may be an escape (\1022*x)
// A blank or tab at the end of a line must be written \s or \t, so that an
// editor that strips them cannot change a case.
#ifndef VEXLAR_TESTS_TABLE_CASES_H_
#define VEXLAR_TESTS_TABLE_CASES_H_

#include <functional>
#include <string>
#include <vector>

namespace vexlar::test {

/// Expects `run(inputs)` to give each case's output, for every case of the
/// data file at `path` (relative to the source folder); a file that cannot
/// be read or holds no case fails.
void RunTableCases(const std::string& path,
                   const std::function<std::string(const std::vector<std::string>&)>& run);

}  // namespace vexlar::test

#endif  // VEXLAR_TESTS_TABLE_CASES_H_
