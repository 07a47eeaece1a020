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

/// Reads the file at `source_path` into `store` and returns its bytes, which
/// the store keeps. When it cannot be opened, logs "CKOLVO: Cannot open
/// file!\n" and returns nothing. What the reader passes over or cuts short
/// goes to `findings` when given: an object of no known type, one cut off by
/// the end of the file, a name or closing brace at the start of a line, a
/// value with no closing quote on its line.
std::optional<std::string_view> ReadSourceFile(const std::string& source_path, ObjectStore* store,
                                               RunLog* log, Findings* findings = nullptr);

/// Reads `text` into `store`; findings name the file `path`. REQUIRES:
/// `text` outlives the store's use of it (ReadSourceFile hands the file's
/// bytes to the store's KeepText).
void ReadSourceText(std::string_view text, ObjectStore* store, Findings* findings = nullptr,
                    std::string_view path = {});

}  // namespace vexlar

#endif  // VEXLAR_READER_READER_H_
