#pragma once
// Standard input read as bytes, as a table piped into the tool is: on
// Windows the stream is switched to binary first, so a 0x1A byte does not
// end it and CR LF arrives as it was sent.

#include <cstdint>
#include <string>

namespace zentab {

// Everything up to the end of the stream, or the first limit + 1 bytes when
// there is more; "Cannot read standard input." on a read error.
std::string ReadStandardInput(std::size_t limit);

// Switches standard input to binary where the platform has a text mode.
void UseBinaryStandardInput();

}  // namespace zentab
