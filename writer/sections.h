// The four sections of an existing mission.pld, found so that --merge can
// replace one and keep the others byte for byte. The file must be the
// version line and the top-level classes Intro, Mission, OutroWin and
// OutroLoose, in that order, each "class <name> { ... };" with balanced
// braces; quoted texts (with their doubled quotes) are skipped while the
// braces are matched. Between the sections only blanks and line ends may
// stand, and they are kept as they are.
#ifndef VEXLAR_WRITER_SECTIONS_H_
#define VEXLAR_WRITER_SECTIONS_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vexlar {

/// The section names, in the order the file holds them.
constexpr std::array<std::string_view, 4> kSectionNames = {"Intro", "Mission", "OutroWin",
                                                           "OutroLoose"};

/// Where each section stands: from its "class" to the ';' after its closing
/// brace, included. Empty `problem` when the file has the form; else what is
/// wrong, for the user ("the first line is not version=11;").
struct SectionLayout {
  std::array<std::size_t, 4> begin{};
  std::array<std::size_t, 4> end{};
  std::string problem;
};
SectionLayout FindSections(std::string_view text);

}  // namespace vexlar

#endif  // VEXLAR_WRITER_SECTIONS_H_
