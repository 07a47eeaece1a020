// Reads a .kolvo mission file into the object store. The reader is a forward
// scanner: it searches for a few fixed words and characters ("class",
// "objectType", "Arguments", braces, quotes) with bounded looks at a byte
// cursor, takes the pieces between them and passes over everything else.
#ifndef VEXLAR_READER_READER_H_
#define VEXLAR_READER_READER_H_

#include <optional>
#include <string>
#include <string_view>

#include "log/findings.h"
#include "log/run_log.h"
#include "store/store.h"

namespace vexlar {

/// The bytes of the source file at `source_path`, which `store` keeps for the
/// run. When it cannot be read, logs the error "CKOLVO: Cannot open
/// file!\n" and returns nothing.
std::optional<std::string_view> LoadSourceFile(const std::string& source_path, ObjectStore* store,
                                               RunLog* log);

/// Reads the objects of `text`, the source's bytes, into `store`. What the
/// reader passes over or cuts short goes to `findings` when given (made for
/// this source): an object of no known type, one cut off by the end of the
/// file, a name or closing brace at the start of a line, a value with no
/// closing quote on its line. REQUIRES: `text` outlives the store's use of
/// it, as the bytes LoadSourceFile hands to the store do.
void ReadSourceFile(std::string_view text, ObjectStore* store, Findings* findings = nullptr);

}  // namespace vexlar

#endif  // VEXLAR_READER_READER_H_
