// Finding a composition type's script in the configuration text "DynO.cpp".
// The text is not parsed: the type is found by a case-insensitive byte search
// (its first occurrence anywhere counts), then the next word "objectscript",
// and the file name closing the path on the rest of that line.
#ifndef VEXLAR_DYNO_SCRIPT_LOOKUP_H_
#define VEXLAR_DYNO_SCRIPT_LOOKUP_H_

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vexlar {

/// The script file name `config` gives for the composition type `type`:
///  1. the first position where the bytes equal `type` with A-Z folded to
///     lower case (a match never takes in a line end; an empty type matches
///     at 0);
///  2. the first "objectscript" (any case) that begins after that occurrence;
///  3. one look right after that word, which must not start at the end;
///  4. in it, the text after the last '\' or '/' up to the first quotation
///     mark after it, which must be there (an empty name is a name:
///     the script path is then the DynO folder itself).
/// Nothing when a step fails. The view points into `config`. This is the
/// lookup followed step by step, for one type; ScriptNameFinder gives the
/// same answers for many.
std::optional<std::string_view> FindScriptName(std::string_view config, std::string_view type);

/// FindScriptName for many types, with the configuration scanned once for
/// all of them: time in proportion to the size of `config` plus the total
/// length of the distinct types, however many there are. Kept for missions
/// of many composition types, not for the usual few: with the benchmark's 4
/// types and the 1 KB sample DynO.cpp both ways take under 0.1 ms of a 2 s
/// run (1M mixed objects), while 2000 types in a 190 KB DynO.cpp take 7 ms
/// here and 0.7 to 1.0 s type by type (Release, a timing loop over both).
class ScriptNameFinder {
 public:
  /// Looks up every type of `types` (which may repeat). `config` must
  /// outlive the finder; `types` need not.
  ScriptNameFinder(std::string_view config, const std::vector<std::string_view>& types);

  /// FindScriptName(config, type). A type not given to the constructor is
  /// looked up on its own, searching the configuration from its start.
  std::optional<std::string_view> Find(std::string_view type) const;

 private:
  std::string_view config_;
  // Type folded to lower case -> its answer.
  std::unordered_map<std::string, std::optional<std::string_view>> answers_;
};

}  // namespace vexlar

#endif  // VEXLAR_DYNO_SCRIPT_LOOKUP_H_
