// Reading a composition script: every entry ["Class",[dx,dy(,dz)],direction]
// or ["Class",[dx,dy(,dz)],direction,fuel,damage] anywhere in the text, one
// to a line or several on a line. Text outside entries is ignored.
#ifndef VEXLAR_DYNO_SCRIPT_SCAN_H_
#define VEXLAR_DYNO_SCRIPT_SCAN_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexlar {

/// The most characters of one number field that are read; the rest of a
/// longer field is skipped.
constexpr std::size_t kNumberFieldSize = 63;

/// One entry of a script that makes a vehicle.
struct ScriptEntry {
  std::string_view class_name;  // as written, case and blanks kept
  double dx = 0;
  double dy = 0;
  double dz = 0;
  double direction = 0;
  double fuel = 1;
  double damage = 0;
};

/// The entries of `script` in text order, class names viewing into it. An
/// entry starts at '[' directly followed by '"'; its class name runs to the
/// last '"' before the first '[' that follows a closing '"' within the look
/// at the entry's start (so a name of 250 characters still leaves room for
/// that '['). The later parts are each read by a look from their own start:
///  - a ']' right after the class name: a class name alone, no entry;
///  - the offset list from that '[': fields split at ',' (later commas are
///    dropped into the third), ended by the first ']' after the first ',';
///  - after the list, up to the first ',' or ']': a ']' ends the entry with
///    direction 0; else the direction runs to the next ',' or ']';
///  - ']' ends the short form (fuel 1, damage 0); ',' is followed by the
///    fuel, up to ',' (then the damage, up to ']') or ']' (damage 0).
/// Number fields are read by ParseDecimal from their first kNumberFieldSize
/// characters. An entry missing a part on its line makes no entry; one
/// without a closing '"' is no entry. The scan goes on after an entry's
/// closing ']', or after the closing '"' of a class name alone or of an entry
/// that makes none.
/// With `problems`, the entries that make no vehicle (other than a class
/// name alone) and the number fields that are no number are told there.
struct ScriptProblem {
  std::size_t offset;  // in the script
  const char* kind;    // "composition" or "not-a-number"
  std::string message;
};
std::vector<ScriptEntry> ScanScript(std::string_view script,
                                    std::vector<ScriptProblem>* problems = nullptr);

}  // namespace vexlar

#endif  // VEXLAR_DYNO_SCRIPT_SCAN_H_
