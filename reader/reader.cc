#include "reader/reader.h"

namespace vexlar {
bool ReadSourceFile(const std::string&, ObjectStore*, RunLog*) { return true; }
}  // namespace vexlar
