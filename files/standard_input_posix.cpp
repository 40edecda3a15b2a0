#include "standard_input.h"

namespace zentab {

// Streams carry bytes as they are here.
void UseBinaryStandardInput() {}

}  // namespace zentab
