#pragma once
// How a command of the tool ends when it cannot do what it was asked. Each
// kind has its own exit status so that scripts can tell a mistyped command
// line from a module that must not be touched.

#include <stdexcept>

namespace zentab::cli {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;  // module refused, platform error, nothing written
constexpr int kExitUsage = 2;    // the command line itself is wrong
// diff answers as diff(1) does.
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The module, or what would be written into it, is unsafe; nothing is written.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zentab::cli
