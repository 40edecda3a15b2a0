#pragma once
// The last check before a module is saved: the edited image, loaded again
// the way every later Load will, must give the same layout and the same
// cells. Blocks that share bytes, Main values that all became 0 in an STD
// module (read as NEW from then on) or a NEW value that spells the block
// marker would otherwise save without a word and read back as other data.

#include "module_state.h"

#include <string>

namespace zentab {

// Empty when the edited module reads back as its table says; otherwise why not.
std::string CheckReadsBack(const Module& edited);

}  // namespace zentab
