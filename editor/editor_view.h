#pragma once
// What the editing session asks of a window, in the window's own terms.
// Texts are UTF-8. A front-end implements it over its toolkit; the tests
// implement it with a fake that records what was asked.

#include "window_description.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zentab::editor {

class EditorView {
public:
    virtual ~EditorView() = default;

    virtual std::string text(ControlId control) const = 0;
    // Does nothing when the text is unchanged; otherwise an LBA field's
    // change reaches EditorSession::LBAChange before this returns, as a
    // typed change does.
    virtual void setText(ControlId control, const std::string& text) = 0;
    // Active: enabled, window background. Inactive: disabled, button face.
    virtual void setFieldActive(ControlId control, bool active) = 0;
    virtual void setEnabled(ControlId control, bool enabled) = 0;
    // What a screen reader says after the control's name.
    virtual void setDescription(ControlId control, const std::string& text) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // Replaces a combo box's list; its edit text stays and no change is raised.
    virtual void setListItems(ControlId control, const std::vector<std::string>& items) = 0;

    // Modal boxes; they return once closed.
    virtual void showMessage(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    // The open dialog; nullopt on cancel.
    virtual std::optional<std::filesystem::path> chooseFileToOpen() = 0;
    // The save dialog with proposed as its name; asks before overwriting.
    virtual std::optional<std::filesystem::path> chooseFileToSave(const std::filesystem::path& proposed) = 0;

    virtual void setClipboardText(const std::string& text) = 0;
    virtual void processPendingEvents() = 0;

    // The decimal separator of the user's locale, for size texts, however
    // many characters it has.
    virtual std::string decimalSeparator() const = 0;
    // Where the settings file may be, in order; the first that exists is read.
    virtual std::vector<std::filesystem::path> settingsCandidates() const = 0;
};

}  // namespace zentab::editor
