#include "editor_texts.h"

#include "window_description.h"

namespace zentab::editor {

std::string EditorTitle() { return EditorWindow().title; }

std::string ApplicationTitle(const std::string& executableFileName)
{
    std::string name = executableFileName.substr(0, executableFileName.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (name[i] >= 'A' && name[i] <= 'Z')
            name[i] = char(name[i] - 'A' + 'a');
    }
    return name;
}

std::string ErrorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

std::string MissingFolderText(const std::string& folder)
{
    return folder + "\nThe folder does not exist.\nCheck the folder name and try again.";
}

std::string NoSizeText() { return "No value"; }

}  // namespace zentab::editor
