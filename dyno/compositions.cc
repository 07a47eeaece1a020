#include "dyno/compositions.h"

namespace vexlar {

void ExpandCompositions(const std::string& /*program_directory*/, ObjectStore* /*store*/,
                        RunLog* /*log*/) {}

}  // namespace vexlar
