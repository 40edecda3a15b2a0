#include "editor_session.h"

#include "auto_fill.h"
#include "capacity.h"
#include "capacity_entry.h"
#include "editor_texts.h"
#include "int_text.h"
#include "latin1_text.h"
#include "lba_text.h"
#include "model_codec.h"
#include "module_edit.h"
#include "pending_messages.h"
#include "profile_reader.h"
#include "start_arguments.h"
#include "system_text.h"
#include "table_fit.h"

#include <exception>
#include <system_error>

namespace zentab::editor {

namespace {

const char kCapacitySection[] = "CAPACITY";

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
};

// The checksum's long loop lets this view process its events, and the hook
// that was there before comes back afterwards.
class PendingEventsThrough {
public:
    explicit PendingEventsThrough(EditorView& view) : previousView_(current_)
    {
        current_ = &view;
        previousHook_ = SetPendingMessagesHook([] { current_->processPendingEvents(); });
    }
    ~PendingEventsThrough()
    {
        SetPendingMessagesHook(previousHook_);
        current_ = previousView_;
    }
    PendingEventsThrough(const PendingEventsThrough&) = delete;
    PendingEventsThrough& operator=(const PendingEventsThrough&) = delete;

private:
    static inline EditorView* current_ = nullptr;
    EditorView* previousView_;
    PendingMessagesHook previousHook_ = nullptr;
};

int ShownRows(int rows) { return rows < kShownRows ? rows : kShownRows; }

// Names are 8-bit text in the module, one Latin-1 character per byte; a
// character without such a byte is refused, never written as its UTF-8.
const char kNameProblem[] = "a name holds only characters of one byte each (Latin-1).";

std::string CellName(int format, int row) { return std::string(FormatName(format)) + ", row " + std::to_string(row); }

}  // namespace

EditorSession::EditorSession(Module& module, EditorView& view) : module_(module), view_(view) {}

void EditorSession::guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        reportError(error.what());
    }
}

void EditorSession::reportError(const std::string& message) { view_.showError(ErrorBoxText(message)); }

std::filesystem::path EditorSession::settingsPath() const
{
    const std::vector<std::filesystem::path> candidates = view_.settingsCandidates();
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::exists(candidate, error))
            return candidate;
    }
    return candidates.empty() ? std::filesystem::path() : candidates.front();
}

void EditorSession::FormCreate()
{
    guarded([this] {
        module_.image.clear();
        const ProfileReader settings = ProfileReader::FromFile(settingsPath());
        std::vector<std::string> keys = settings.sectionKeys(kCapacitySection);
        for (std::string& key : keys)
            key = SystemTextToUtf8(key);
        view_.setListItems(Controls().cbStdCapacity, keys);
    });
}

void EditorSession::cbStdCapacityChange()
{
    guarded([this] { copyCapacityValue(); });
}

void EditorSession::copyCapacityValue()
{
    // Read afresh every time, so an edited value counts at once.
    const ProfileReader settings = ProfileReader::FromFile(settingsPath());
    view_.setClipboardText(settings.value(kCapacitySection, view_.text(Controls().cbStdCapacity), SystemTextToUtf8));
}

void EditorSession::ClearModelFields()
{
    for (int r = 1; r <= kShownRows; ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            view_.setText(ModelField(f, r), {});
            view_.setFieldActive(ModelField(f, r), false);
        }
        for (int f = 1; f <= kFormats; ++f) {
            view_.setText(LbaField(f, r), {});
            view_.setFieldActive(LbaField(f, r), false);
        }
    }
}

void EditorSession::ShowModelTable(int rows)
{
    for (int r = 1; r <= ShownRows(rows); ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            view_.setText(ModelField(f, r), Latin1ToUtf8(module_.table.name(r, f)));
            view_.setFieldActive(ModelField(f, r), true);
        }
        for (int f = 1; f <= kFormats; ++f) {
            view_.setText(LbaField(f, r), IntToStr(module_.table.value(r, f)));
            view_.setFieldActive(LbaField(f, r), true);
        }
    }
}

void EditorSession::btLoadClick()
{
    runLoad([this] { return view_.chooseFileToOpen(); });
}

void EditorSession::LoadDroppedFile(const std::filesystem::path& path)
{
    runLoad([&path] { return std::optional<std::filesystem::path>(path); });
}

void EditorSession::OpenStartArguments(const std::vector<std::filesystem::path>& arguments)
{
    const StartArguments start = ReadStartArguments(arguments);
    if (start.file)
        LoadDroppedFile(*start.file);
    if (!start.ignored.empty())
        view_.showMessage(IgnoredArgumentsText(start.ignored));
}

void EditorSession::runLoad(const std::function<std::optional<std::filesystem::path>()>& chooseFile)
{
    // Emptying the image under a running Save's checksum would corrupt it.
    if (saving_)
        return;
    guarded([&] {
        moduleReady_ = false;
        asRead_.reset();
        module_.table.reset();
        ClearModelFields();
        module_.image.clear();
        const std::optional<std::filesystem::path> chosen = chooseFile();
        if (!chosen)
            return;
        lastOpenPath_ = *chosen;
        view_.setCaption(EditorTitle() + " - " + reinterpret_cast<const char*>(chosen->filename().u8string().c_str()));
        module_.image.loadFromFile(*chosen);
        // Every module the rules can read is shown; whether its blocks can
        // take a write is Save's question.
        const bool read = ReadModelListModule(module_, [this](const ListLayout& layout) {
            view_.setText(Controls().laFormat, layout.isNew ? "NEW" : "STD");
        });
        if (read) {
            asRead_ = module_.table;
            ShowModelTable(module_.layout.rowsPerFormat);
            moduleReady_ = true;
        }
        view_.setEnabled(Controls().btSave, true);
        view_.setEnabled(Controls().btAuto, true);
    });
}

void EditorSession::btSaveClick()
{
    if (saving_)
        return;
    guarded([this] { save(); });
}

void EditorSession::save()
{
    if (!moduleReady_) {
        // Writing now would put blank names and zero values at offsets that
        // belong to another module or to the header.
        view_.showMessage("Nothing to save: the last Load did not read a model-list module.");
        return;
    }
    const ScopedFlag saving(saving_);
    ModelTable edited = module_.table;
    if (std::string fields = collectModelNames(module_.layout.rowsPerFormat, edited); !fields.empty()) {
        view_.showMessage("Save refused: the module cannot store what these name fields show.\n" + fields +
                          "Nothing was written.");
        return;
    }
    if (std::string fields = collectModelTable(module_.layout.rowsPerFormat, edited); !fields.empty()) {
        view_.showMessage("Save refused: the module cannot store what these LBA fields show.\n" + fields +
                          "Nothing was written.");
        return;
    }
    std::string refusal;
    {
        const PendingEventsThrough events(view_);
        refusal = ApplyEditedTable(module_, edited, asRead_, "Save refused: ");
    }
    if (!refusal.empty()) {
        view_.showMessage(refusal);
        return;
    }
    const std::optional<std::filesystem::path> target = view_.chooseFileToSave(lastOpenPath_);
    if (!target)
        return;
    // Saved; what the file layer could not tidy up afterwards is worth a word.
    if (const std::string warning = module_.image.saveToFile(*target); !warning.empty())
        view_.showMessage(warning);
}

std::string EditorSession::collectModelNames(int rows, ModelTable& table) const
{
    std::string problems;
    for (int r = 1; r <= ShownRows(rows); ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            const std::string text = view_.text(ModelField(f, r));
            if (const std::optional<std::string> bytes = Utf8ToLatin1(text))
                table.name(r, f) = *bytes;
            else
                problems += CellName(f, r) + ", \"" + text + "\": " + kNameProblem + '\n';
        }
    }
    return problems;
}

std::string EditorSession::collectModelTable(int rows, ModelTable& table) const
{
    std::string problems;
    for (int r = 1; r <= ShownRows(rows); ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            const std::string text = view_.text(LbaField(f, r));
            // Showing what Load put there: the cell keeps the bits it was read with.
            if (text == IntToStr(asRead_.value(r, f))) {
                table.value(r, f) = asRead_.value(r, f);
                continue;
            }
            const std::optional<std::int64_t> value = LbaFieldValue(text);
            std::string problem;
            if (!value)
                problem = "not a number; pressing Enter in the field turns a capacity such as 2000G or 2T into its "
                          "LBA.";
            else
                problem = ValueProblem(*value, module_.layout);
            if (!problem.empty())
                problems += CellName(f, r) + ", \"" + text + "\": " + problem + '\n';
            else
                table.value(r, f) = *value;
        }
    }
    return problems;
}

void EditorSession::btAutoClick()
{
    if (saving_)
        return;
    guarded([this] {
        AutoInputs inputs;
        inputs.alignment = StrToIntDef(view_.text(Controls().edAligned), 50);
        const std::optional<std::string> modelTemplate = templateBytes();
        if (!modelTemplate)
            return;
        inputs.modelTemplate = *modelTemplate;
        inputs.headSize = StrToInt64Def(view_.text(LbaField(1, 1)), 0);
        if (inputs.headSize == 0) {
            view_.showMessage("Enter LBA Size for Head 0");
            return;
        }
        inputs.divider = StrToIntDef(view_.text(Controls().edDivider), 0);
        const int rows = module_.layout.rowsPerFormat;
        AutoFillTable(module_.table, rows, inputs);
        ShowModelTable(rows);
    });
}

void EditorSession::miFromHeadClick(int n)
{
    if (saving_ || n < 1 || n > kShownRows)
        return;
    guarded([this, n] { FillFromHead(StrToInt64Def(view_.text(LbaField(1, n)), 0) / n); });
}

void EditorSession::FillFromHead(std::int64_t perHeadSize)
{
    const std::optional<std::string> modelTemplate = templateBytes();
    if (!modelTemplate)
        return;
    const std::int32_t alignment = StrToIntDef(view_.text(Controls().edAligned), 50);
    const auto rows = FromHeadRows(perHeadSize, module_.layout.rowsPerFormat, alignment, *modelTemplate);
    for (int r = 1; r <= int(rows.size()); ++r) {
        view_.setText(ModelField(1, r), Latin1ToUtf8(rows[std::size_t(r - 1)].name));
        view_.setText(LbaField(1, r), IntToStr(rows[std::size_t(r - 1)].value));
    }
}

std::optional<std::string> EditorSession::templateBytes() const
{
    const std::string text = view_.text(Controls().edModel);
    std::optional<std::string> bytes = Utf8ToLatin1(text);
    if (!bytes)
        view_.showMessage("Model name template, \"" + text + "\": " + kNameProblem);
    return bytes;
}

void EditorSession::LBA11KeyPress(ControlId field, char32_t key)
{
    if (key != 13 || saving_)
        return;
    guarded([this, field] {
        if (const auto converted = ConvertOnEnter(view_.text(field)))
            view_.setText(field, *converted);
    });
}

void EditorSession::LBA11ButtonClick(ControlId field)
{
    if (saving_)
        return;
    guarded([this, field] {
        view_.setText(field, ConvertOnButton(view_.text(field)));
    });
}

void EditorSession::LBAChange(int format, int row)
{
    guarded([this, format, row] {
        const std::int64_t value = StrToInt64Def(view_.text(LbaField(format, row)), 0);
        const std::string size = SizeText(value, 512, view_.decimalSeparator());
        view_.setText(SizeLabel(format, row), size);
        view_.setDescription(SizeLabel(format, row), size.empty() ? NoSizeText() : size);
    });
}

}  // namespace zentab::editor
