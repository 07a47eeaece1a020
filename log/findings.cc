#include "log/findings.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <unordered_set>

namespace vexlar {
namespace {

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

TextPlace Findings::InSource(std::string_view piece) const {
  const std::less_equal<const char*> at_or_before;
  const bool inside = at_or_before(source_text_.data(), piece.data()) &&
                      at_or_before(piece.data(), source_text_.data() + source_text_.size());
  return {source_path_, source_text_,
          inside ? static_cast<std::size_t>(piece.data() - source_text_.data()) : 0};
}

TextPlace Findings::AtHeader(std::string_view name) const {
  // The name follows "class", a blank and an underscore.
  TextPlace place = InSource(name);
  place.offset = place.offset >= 7 ? place.offset - 7 : 0;
  return place;
}

std::string Findings::Lines() const {
  // Files in the order they were first named, places in file order; the
  // lines are counted once per file, walking forward.
  std::vector<std::string_view> files;
  std::vector<std::size_t> rank(kept_.size());
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    const auto known = std::find(files.begin(), files.end(), kept_[i].place.path);
    rank[i] = static_cast<std::size_t>(known - files.begin());
    if (known == files.end()) files.push_back(kept_[i].place.path);
  }
  std::vector<std::size_t> order(kept_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return std::make_pair(rank[a], kept_[a].place.offset) <
           std::make_pair(rank[b], kept_[b].place.offset);
  });

  std::string lines;
  std::unordered_set<std::uint32_t> objects;
  std::size_t file = files.size(), scanned = 0, line = 1, line_start = 0;
  for (const std::size_t i : order) {
    const Finding& finding = kept_[i];
    const std::string_view text = finding.place.text;
    if (rank[i] != file) file = rank[i], scanned = 0, line = 1, line_start = 0;
    const std::size_t offset = std::min(finding.place.offset, text.size());
    for (; scanned < offset; ++scanned) {
      if (text[scanned] == '\n') ++line, line_start = scanned + 1;
    }
    lines += std::string(finding.place.path) + ":" + std::to_string(line) + ":" +
             std::to_string(offset - line_start + 1) + ": warning: " + finding.message + " [" +
             finding.kind + "]\n";
    if (finding.object != Finding::kNoObject) objects.insert(finding.object);
  }
  if (kept_.empty()) return "no findings\n";
  lines += Counted(kept_.size(), "finding", "findings");
  if (!objects.empty()) lines += " in " + Counted(objects.size(), "object", "objects");
  return lines + "\n";
}

}  // namespace vexlar
