#include "standard_input.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace zentab {

void UseBinaryStandardInput() { ::_setmode(::_fileno(stdin), _O_BINARY); }

}  // namespace zentab
