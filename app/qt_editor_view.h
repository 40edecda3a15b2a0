#pragma once
// The session's view over the Qt widgets of the window.

#include "editor_view.h"

#include <functional>
#include <vector>

class QAction;
class QWidget;

class QtEditorView : public zentab::editor::EditorView {
public:
    explicit QtEditorView(QWidget& window) : window_(window) {}

    // Filled as the window builds its controls: a widget or an action per
    // control id.
    void add(QWidget* widget, QAction* action);
    QWidget* widget(zentab::editor::ControlId id) const { return widgets_[std::size_t(id)]; }
    QAction* action(zentab::editor::ControlId id) const { return actions_[std::size_t(id)]; }

    // The file dialogs are the window's; the view asks it for them.
    std::function<std::optional<std::filesystem::path>()> openFile;
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)> saveFile;

    std::string text(zentab::editor::ControlId control) const override;
    void setText(zentab::editor::ControlId control, const std::string& text) override;
    void setFieldActive(zentab::editor::ControlId control, bool active) override;
    void setEnabled(zentab::editor::ControlId control, bool enabled) override;
    void setDescription(zentab::editor::ControlId control, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void setListItems(zentab::editor::ControlId control, const std::vector<std::string>& items) override;
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    std::optional<std::filesystem::path> chooseFileToOpen() override { return openFile(); }
    std::optional<std::filesystem::path> chooseFileToSave(const std::filesystem::path& proposed) override
    {
        return saveFile(proposed);
    }
    void setClipboardText(const std::string& text) override;
    void processPendingEvents() override;
    std::string decimalSeparator() const override;
    std::vector<std::filesystem::path> settingsCandidates() const override;

private:
    QWidget& window_;
    std::vector<QWidget*> widgets_;
    std::vector<QAction*> actions_;
};

// A field of the grid in its active or inactive look.
void SetFieldState(QWidget* field, bool active);
