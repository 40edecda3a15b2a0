// What the editor makes of its command line: the one module a file manager
// or a drop on the program hands it, and whatever else it was given.

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zentab::editor {

struct StartArguments {
    // The module to load once the window is shown.
    std::optional<std::filesystem::path> file;
    // Every other argument, as given: options (the editor has none) and
    // files after the first.
    std::vector<std::filesystem::path> ignored;
};

// The arguments after the program's name. A word that begins with '-' is an
// option, up to a "--"; every other word is a file. A '/' is a path on every
// system.
StartArguments ReadStartArguments(const std::vector<std::filesystem::path>& arguments);

// The message that names what was not used; empty when nothing was ignored.
std::string IgnoredArgumentsText(const std::vector<std::filesystem::path>& ignored);

}  // namespace zentab::editor
