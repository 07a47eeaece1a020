#include "dyno/script_lookup.h"

#include <algorithm>
#include <cstdint>
#include <deque>

#include "dyno/line_look.h"
#include "text/ascii.h"
#include "text/line_end.h"

namespace vexlar {
namespace {

constexpr std::string_view kScriptWord = "objectscript";
constexpr std::size_t kNotFound = std::string_view::npos;

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldLower(c);
  return folded;
}

// True when `folded` equals the bytes at `position` of `bytes` (folded) and
// the match does not end on the CR of a CR LF, which a line read would have
// turned into the line end.
bool MatchesAt(std::string_view bytes, std::size_t position, std::string_view folded) {
  if (bytes.size() - position < folded.size()) return false;
  for (std::size_t k = 0; k < folded.size(); ++k) {
    if (FoldLower(bytes[position + k]) != folded[k]) return false;
  }
  const std::size_t end = position + folded.size();
  return folded.empty() || !(folded.back() == '\r' && IsLineEndAt(bytes, end - 1));
}

// The first position from `from` at which `folded` matches, or kNotFound.
std::size_t FirstMatch(std::string_view bytes, std::string_view folded, std::size_t from) {
  for (std::size_t position = from; position + folded.size() <= bytes.size(); ++position) {
    if (MatchesAt(bytes, position, folded)) return position;
  }
  return kNotFound;
}

// The patterns (folded, not empty, free of CR and LF) as a trie with
// failure links (Aho-Corasick), which finds the first start of every
// pattern in one pass over a text.
class PatternMatcher {
 public:
  // `patterns` must outlive the matcher.
  explicit PatternMatcher(const std::vector<std::string_view>& patterns) : patterns_(patterns) {
    for (std::size_t i = 0; i < patterns.size(); ++i) Insert(patterns[i], static_cast<int>(i));
    LinkFailures();
  }

  // The first start of each pattern in `text` folded, or kNotFound.
  std::vector<std::size_t> FirstStarts(std::string_view text) const {
    std::vector<std::size_t> starts(patterns_.size(), kNotFound);
    int state = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      state = Step(state, static_cast<unsigned char>(FoldLower(text[i])));
      // A pattern ending here that was seen before has had all its suffixes
      // seen too, so the walk stops at the first one already recorded.
      for (int out = NodeAt(state).output; out >= 0;) {
        const Node& node = NodeAt(out);
        const auto p = static_cast<std::size_t>(node.pattern);
        if (starts[p] != kNotFound) break;
        starts[p] = i + 1 - patterns_[p].size();
        out = NodeAt(node.fail).output;
      }
    }
    return starts;
  }

 private:
  struct Node {
    int fail = 0;
    int output = -1;  // the longest pattern ending here: this node or one on its fail chain
    int pattern = -1;
    std::vector<std::pair<unsigned char, int>> children;
  };

  const Node& NodeAt(int node) const { return nodes_[static_cast<std::size_t>(node)]; }
  Node& NodeAt(int node) { return nodes_[static_cast<std::size_t>(node)]; }
  static std::uint64_t Edge(int node, unsigned char c) {
    return static_cast<std::uint64_t>(node) << 8 | c;
  }
  int Child(int node, unsigned char c) const {
    const auto it = edges_.find(Edge(node, c));
    return it == edges_.end() ? -1 : it->second;
  }
  // The state after `byte` from `state`, following failure links.
  int Step(int state, unsigned char byte) const {
    int next;
    while ((next = Child(state, byte)) < 0 && state != 0) state = NodeAt(state).fail;
    return std::max(next, 0);
  }

  void Insert(std::string_view pattern, int index) {
    int node = 0;
    for (const char c : pattern) {
      const auto byte = static_cast<unsigned char>(c);
      int next = Child(node, byte);
      if (next < 0) {
        next = static_cast<int>(nodes_.size());
        nodes_.emplace_back();
        NodeAt(node).children.emplace_back(byte, next);
        edges_.emplace(Edge(node, byte), next);
      }
      node = next;
    }
    NodeAt(node).pattern = index;
  }

  // Breadth first, so that a node's failure target is linked before it.
  void LinkFailures() {
    std::deque<int> queue{0};
    while (!queue.empty()) {
      const int parent = queue.front();
      queue.pop_front();
      for (const auto& [byte, node] : NodeAt(parent).children) {
        const int fail = parent == 0 ? 0 : Step(NodeAt(parent).fail, byte);
        Node& n = NodeAt(node);
        n.fail = fail;
        n.output = n.pattern >= 0 ? node : NodeAt(fail).output;
        queue.push_back(node);
      }
    }
  }

  const std::vector<std::string_view>& patterns_;
  std::vector<Node> nodes_ = std::vector<Node>(1);
  std::unordered_map<std::uint64_t, int> edges_;  // Edge(node, byte) -> child
};

// Steps 3 and 4 of the lookup, for a look right after the word.
std::optional<std::string_view> NameAfterWord(std::string_view config, std::size_t position) {
  if (position >= config.size()) return std::nullopt;
  const std::string_view look = LineAt(config, position);
  const std::size_t separator = look.find_last_of("\\/");
  if (separator == kNotFound) return std::nullopt;
  const std::size_t quote = look.find('"', separator + 1);
  if (quote == kNotFound) return std::nullopt;
  return config.substr(position + separator + 1, quote - separator - 1);
}

}  // namespace

ScriptNameFinder::ScriptNameFinder(std::string_view config,
                                   const std::vector<std::string_view>& types)
    : config_(config) {
  std::vector<std::string> keys;
  for (std::string_view type : types) {
    std::string key = Folded(type);
    if (answers_.emplace(key, std::nullopt).second) keys.push_back(std::move(key));
  }

  // Starts of the types: most in one pass; the rare types holding a CR or LF
  // byte by byte, since a line end breaks their match.
  std::vector<std::size_t> starts(keys.size(), kNotFound);
  std::vector<std::string_view> plain;
  std::vector<std::size_t> plain_index;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string& key = keys[i];
    if (key.empty()) {
      starts[i] = 0;
    } else if (key.find('\n') != std::string::npos) {
      starts[i] = kNotFound;
    } else if (key.find('\r') != std::string::npos) {
      starts[i] = FirstMatch(config, key, 0);
    } else {
      plain.push_back(key);
      plain_index.push_back(i);
    }
  }
  const std::vector<std::size_t> plain_starts = PatternMatcher(plain).FirstStarts(config);
  for (std::size_t j = 0; j < plain.size(); ++j) starts[plain_index[j]] = plain_starts[j];

  std::vector<std::size_t> words;  // every start of "objectscript", ascending
  for (std::size_t position = 0; position + kScriptWord.size() <= config.size(); ++position) {
    if (MatchesAt(config, position, kScriptWord)) words.push_back(position);
  }

  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (starts[i] == kNotFound) continue;
    const auto word = std::lower_bound(words.begin(), words.end(), starts[i] + keys[i].size());
    if (word == words.end()) continue;
    answers_[keys[i]] = NameAfterWord(config, *word + kScriptWord.size());
  }
}

std::optional<std::string_view> ScriptNameFinder::Find(std::string_view type) const {
  const auto it = answers_.find(Folded(type));
  if (it != answers_.end()) return it->second;
  return FindScriptName(config_, type);
}

std::optional<std::string_view> FindScriptName(std::string_view config, std::string_view type) {
  const std::string folded = Folded(type);
  if (folded.find('\n') != std::string::npos) return std::nullopt;  // a line end never matches
  const std::size_t at = FirstMatch(config, folded, 0);
  if (at == kNotFound) return std::nullopt;
  const std::size_t word = FirstMatch(config, kScriptWord, at + folded.size());
  if (word == kNotFound) return std::nullopt;
  return NameAfterWord(config, word + kScriptWord.size());
}

}  // namespace vexlar
