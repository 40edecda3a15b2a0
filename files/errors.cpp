#include "errors.h"

namespace zentab {

void ThrowStreamReadError() { throw PlatformError("Stream read error"); }

void ThrowDivisionByZero() { throw PlatformError("Division by zero"); }

void ThrowCannotOpen(const std::string& path, const std::string& reason)
{
    throw PlatformError("Cannot open file \"" + path + "\". " + reason);
}

void ThrowCannotCreate(const std::string& path, const std::string& reason)
{
    throw PlatformError("Cannot create file \"" + path + "\". " + reason);
}

}  // namespace zentab
