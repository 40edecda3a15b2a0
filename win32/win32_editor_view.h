#pragma once
// The session's view over the Win32 window: texts, states, the system's
// dialogs and message boxes, the clipboard and the user's locale.

#include "editor_view.h"

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentab::win32 {

class MainWindow;

class Win32EditorView : public editor::EditorView {
public:
    explicit Win32EditorView(MainWindow& window);

    std::string text(editor::ControlId control) const override;
    void setText(editor::ControlId control, const std::string& text) override;
    void setFieldActive(editor::ControlId control, bool active) override;
    void setEnabled(editor::ControlId control, bool enabled) override;
    void setDescription(editor::ControlId control, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void setListItems(editor::ControlId control, const std::vector<std::string>& items) override;
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    std::optional<std::filesystem::path> chooseFileToOpen() override;
    std::optional<std::filesystem::path> chooseFileToSave(const std::filesystem::path& proposed) override;
    void setClipboardText(const std::string& text) override;
    void processPendingEvents() override;
    std::string decimalSeparator() const override;
    std::vector<std::filesystem::path> settingsCandidates() const override { return settingsFiles; }

    // The system's dialogs and boxes by default; the tests answer them here.
    std::function<std::optional<std::filesystem::path>()> openFile;
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)> saveFile;
    std::function<void(const std::string& text, bool error)> messageBox;
    // Beside the executable, then the user's roaming application data.
    std::vector<std::filesystem::path> settingsFiles;

private:
    static void Enable(HWND hwnd, bool enabled);

    MainWindow& window_;
};

// The executable's own full path, however long.
std::filesystem::path ExecutablePath();

// What a screen reader says for a control: its name and its description.
void SetAccessibleText(HWND control, const std::string& name, const std::string& description);

}  // namespace zentab::win32
