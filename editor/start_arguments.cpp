#include "start_arguments.h"

namespace zentab::editor {

StartArguments ReadStartArguments(const std::vector<std::filesystem::path>& arguments)
{
    StartArguments result;
    bool options = true;
    for (const std::filesystem::path& argument : arguments) {
        const std::filesystem::path::string_type& word = argument.native();
        // An empty word (a launcher's %f with no file) names nothing.
        if (word.empty())
            continue;
        if (options && word.size() == 2 && word[0] == '-' && word[1] == '-') {
            options = false;
            continue;
        }
        if ((options && word[0] == '-') || result.file)
            result.ignored.push_back(argument);
        else
            result.file = argument;
    }
    return result;
}

std::string IgnoredArgumentsText(const std::vector<std::filesystem::path>& ignored)
{
    if (ignored.empty())
        return {};
    std::string text = "The editor opens one module and takes no options. Not used:";
    for (const std::filesystem::path& argument : ignored)
        text += "\n" + std::string(reinterpret_cast<const char*>(argument.u8string().c_str()));
    return text;
}

}  // namespace zentab::editor
