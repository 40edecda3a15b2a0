#include "standard_input.h"

#include "errors.h"

#include <cstdio>

namespace zentab {

std::string ReadStandardInput(std::size_t limit)
{
    UseBinaryStandardInput();
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while (text.size() <= limit && (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        text.append(buffer, got);
    if (std::ferror(stdin))
        throw PlatformError("Cannot read standard input.");
    if (text.size() > limit + 1)
        text.resize(limit + 1);
    return text;
}

}  // namespace zentab
