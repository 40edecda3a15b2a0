#pragma once
// Failures of the platform: files that cannot be opened or created, modules
// shorter than a field that is read, a division by zero. They travel as
// exceptions to the top of the event handler (or of the command-line tool),
// which shows the message. The program's own checks never throw.

#include <stdexcept>
#include <string>

namespace zentab {

class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowStreamReadError();
[[noreturn]] void ThrowDivisionByZero();
[[noreturn]] void ThrowCannotOpen(const std::string& path, const std::string& reason);
[[noreturn]] void ThrowCannotCreate(const std::string& path, const std::string& reason);

}  // namespace zentab
