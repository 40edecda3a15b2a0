#pragma once
// A view that records what the session asks of it and answers its dialogs
// from queues, so the session's commands run without any window.

#include "editor_session.h"
#include "editor_view.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zentab::testkit {

class FakeView : public editor::EditorView {
public:
    using ControlId = editor::ControlId;

    // The session whose LBA change handler a changed LBA field raises.
    editor::EditorSession* session = nullptr;

    std::map<ControlId, std::string> texts;
    std::map<ControlId, bool> active;
    std::map<ControlId, bool> enabled;
    std::map<ControlId, std::string> descriptions;
    std::string caption;
    std::vector<std::string> listItems;
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::string clipboard;
    int clipboardWrites = 0;
    // Answers of the file dialogs; an empty path is a cancel.
    std::deque<std::filesystem::path> openAnswers;
    std::deque<std::filesystem::path> saveAnswers;
    std::vector<std::filesystem::path> proposedSaveNames;
    // Run at every processing of pending events (inside Save's checksum).
    std::function<void()> pendingEvents;
    int pendingEventCalls = 0;
    std::string separator = ".";
    std::vector<std::filesystem::path> candidates;
    // Every change the session made, in order: "text NAME=VALUE", "active NAME=1", ...
    std::vector<std::string> log;

    std::string text(ControlId control) const override
    {
        const auto found = texts.find(control);
        return found == texts.end() ? std::string() : found->second;
    }

    void setText(ControlId control, const std::string& text) override
    {
        if (this->text(control) == text)
            return;
        texts[control] = text;
        log.push_back("text " + Name(control) + "=" + text);
        const editor::ControlDescription& c = editor::WindowControls()[std::size_t(control)];
        if (c.kind == editor::ControlKind::LbaEdit && session)
            session->LBAChange(c.format, c.row);
    }

    // What typing does: the text changes and the change handler runs.
    void type(ControlId control, const std::string& text) { setText(control, text); }

    void setFieldActive(ControlId control, bool on) override
    {
        active[control] = on;
        log.push_back("active " + Name(control) + "=" + (on ? "1" : "0"));
    }
    void setEnabled(ControlId control, bool on) override { enabled[control] = on; }
    void setDescription(ControlId control, const std::string& text) override { descriptions[control] = text; }
    void setCaption(const std::string& text) override { caption = text; }
    void setListItems(ControlId, const std::vector<std::string>& items) override { listItems = items; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showError(const std::string& text) override { errors.push_back(text); }

    std::optional<std::filesystem::path> chooseFileToOpen() override { return Take(openAnswers); }
    std::optional<std::filesystem::path> chooseFileToSave(const std::filesystem::path& proposed) override
    {
        proposedSaveNames.push_back(proposed);
        return Take(saveAnswers);
    }

    void setClipboardText(const std::string& text) override
    {
        clipboard = text;
        ++clipboardWrites;
    }
    void processPendingEvents() override
    {
        ++pendingEventCalls;
        if (pendingEvents)
            pendingEvents();
    }
    std::string decimalSeparator() const override { return separator; }
    std::vector<std::filesystem::path> settingsCandidates() const override { return candidates; }

    static std::string Name(ControlId control) { return editor::WindowControls()[std::size_t(control)].name; }

private:
    static std::optional<std::filesystem::path> Take(std::deque<std::filesystem::path>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        std::filesystem::path answer = answers.front();
        answers.pop_front();
        if (answer.empty())
            return std::nullopt;
        return answer;
    }
};

}  // namespace zentab::testkit
