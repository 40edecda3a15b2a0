#pragma once
// The editing session: every command of the editor window, in its step
// order, over the module state and a view. A front-end forwards its events
// here and adds no rule of its own; the session shows errors that leave a
// command in the view's error box and goes on, as the message loop would.

#include "editor_view.h"
#include "module_state.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace zentab::editor {

class EditorSession {
public:
    // Works on the module state it is given; the program passes its one
    // instance, tests their own.
    EditorSession(Module& module, EditorView& view);

    // Start-up: an empty image and the standard capacities in cbStdCapacity.
    void FormCreate();

    void btLoadClick();
    // Load with a file dropped on the window in place of the open dialog's choice.
    void LoadDroppedFile(const std::filesystem::path& path);
    // The editor's command line, once the window is shown: its one file is
    // loaded as a drop is, and a message names whatever was not used.
    void OpenStartArguments(const std::vector<std::filesystem::path>& arguments);
    void btSaveClick();
    void btAutoClick();
    // The item From Head n (1..10) of pmFromHeads.
    void miFromHeadClick(int n);
    void FillFromHead(std::int64_t perHeadSize);
    // A character typed into an LBA field, before the field takes it.
    void LBA11KeyPress(ControlId field, char32_t key);
    void LBA11ButtonClick(ControlId field);
    // Any change of an LBA field's text, typed or set.
    void LBAChange(int format, int row);
    void cbStdCapacityChange();

    // Binding between the grid and the model table.
    void ClearModelFields();
    void ShowModelTable(int rows);

    // True while Save runs: its checksum lets events in, and no command that
    // changes the image may start then. A drop is refused too.
    bool saving() const { return saving_; }
    // The file the last Load chose, which Save proposes.
    const std::filesystem::path& lastOpenPath() const { return lastOpenPath_; }
    // The settings file: the first candidate that exists, else the first.
    std::filesystem::path settingsPath() const;

    // Shows an error that left a command outside the session.
    void reportError(const std::string& message);

private:
    void guarded(const std::function<void()>& command);
    void runLoad(const std::function<std::optional<std::filesystem::path>()>& chooseFile);
    void save();
    // The grid's rows 1..min(rows, 10) into table; the fields whose text the
    // module could not store as shown, one line each.
    std::string collectModelNames(int rows, ModelTable& table) const;
    std::string collectModelTable(int rows, ModelTable& table) const;
    std::optional<std::string> templateBytes() const;
    void copyCapacityValue();

    Module& module_;
    EditorView& view_;
    // True only while the image holds a module that Load read completely:
    // Save writes nothing otherwise.
    bool moduleReady_ = false;
    bool saving_ = false;
    std::filesystem::path lastOpenPath_;
    // The table exactly as Load read it, untouched by Save and Auto until the
    // next Load replaces it. An LBA field that shows the text Load put there
    // is written back with these bits, so a module whose own values Save
    // would refuse from the keyboard (FF..FF in a NEW module) still saves
    // unchanged, however often it was saved or edited in between.
    ModelTable asRead_;
};

}  // namespace zentab::editor
