#pragma once
// Texts the window shows that belong to no single command.

#include <string>

namespace zentab::editor {

// The window caption before any module is loaded.
std::string EditorTitle();

// The title of every message box: the executable's file name up to its first
// ".", every letter after the first in lower case.
std::string ApplicationTitle(const std::string& executableFileName);

// An error that left a command, as its box says it: a full stop added when
// the message does not already end in punctuation.
std::string ErrorBoxText(const std::string& message);

// The save dialog's answer to a name in a folder that does not exist.
std::string MissingFolderText(const std::string& folder);

// Spoken for a size label that shows nothing.
std::string NoSizeText();

// The settings file, and the folder it has in a configuration folder.
inline constexpr char kSettingsFileName[] = "ZentabEditor.ini";
inline constexpr char kSettingsFolderName[] = "ZentabEditor";

}  // namespace zentab::editor
