// The editing session as a technician drives it: random sequences of Loads
// (some failing), drops, typing, Enter, the field button, Auto, From Head
// and Saves (confirmed, cancelled, refused), against a small model of what
// each field shows and what Load read. After every command the fields show
// what the model says; after every Save the file holds the model's table
// written into the module as Load read it, or nothing and a refusal naming
// the model's fields. RapidCheck prints the seed and the shrunk sequence.

#include "auto_fill.h"
#include "capacity_entry.h"
#include "container.h"
#include "fake_view.h"
#include "int_text.h"
#include "latin1_text.h"
#include "lba_text.h"
#include "model_codec.h"
#include "module_edit.h"
#include "module_gen.h"
#include "read_back.h"
#include "table_fit.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace zentab;
using namespace zentab::testkit;
using editor::ControlId;
using editor::Controls;
using editor::LbaField;
using editor::ModelField;
using Bytes = std::vector<std::uint8_t>;

struct Session {
    Module module;
    FakeView view;
    editor::EditorSession session{module, view};
    fs::path dir;
    int files = 0;

    Session()
    {
        view.session = &session;
        for (ControlId id : {Controls().edModel, Controls().edDivider, Controls().edAligned})
            view.texts[id] = editor::WindowControls()[std::size_t(id)].caption;
        // Each case its own folder: CTest runs properties side by side.
        dir = fs::temp_directory_path() / ("zentab-sequence-" + std::to_string(std::random_device()()));
        fs::create_directories(dir);
    }
    ~Session()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    fs::path nextFile() { return dir / ("f" + std::to_string(++files) + ".bin"); }
};

// What Load read, kept apart from everything the session does later.
struct ReadModule {
    Bytes bytes;
    Module read;  // image, directory, layout and table right after Load
};

struct Model {
    std::optional<ReadModule> loaded;
    std::map<ControlId, std::string> texts;  // fields and the three inputs
    std::map<ControlId, bool> active;
    ModelTable working;  // rows past the tenth: as read or as Auto made them
    std::size_t errors = 0;
    std::size_t messages = 0;

    Model()
    {
        for (ControlId id : {Controls().edModel, Controls().edDivider, Controls().edAligned})
            texts[id] = editor::WindowControls()[std::size_t(id)].caption;
    }
    int rows() const { return loaded ? loaded->read.layout.rowsPerFormat : 0; }
    int shownRows() const { return std::min(rows(), kShownRows); }
    std::string text(ControlId id) const
    {
        const auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    }
    bool isActive(ControlId id) const { return active.count(id) && active.at(id); }
    void show(const ModelTable& table)
    {
        for (int r = 1; r <= shownRows(); ++r) {
            for (int f = 1; f <= kFormats; ++f) {
                texts[ModelField(f, r)] = Latin1ToUtf8(table.name(r, f));
                texts[LbaField(f, r)] = IntToStr(table.value(r, f));
                active[ModelField(f, r)] = active[LbaField(f, r)] = true;
            }
        }
    }
};

void AssertShows(const Model& m, const Session& s);

// A step acts on the session, then the view must show what the model says.
struct Step : rc::state::Command<Model, Session> {
    virtual void act(Session& s) const = 0;
    void run(const Model& m0, Session& s) const override
    {
        act(s);
        Model m = m0;
        apply(m);
        AssertShows(m, s);
    }
};

std::string CellName(int format, int row) { return std::string(FormatName(format)) + ", row " + std::to_string(row); }

// Checks the view against the model: every field's text and state, and
// that no message or error box came that the model did not expect.
void AssertShows(const Model& m, const Session& s)
{
    for (int r = 1; r <= kShownRows; ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            for (ControlId id : {ModelField(f, r), LbaField(f, r)}) {
                RC_ASSERT(s.view.text(id) == m.text(id));
                RC_ASSERT((s.view.active.count(id) && s.view.active.at(id)) == m.isActive(id));
            }
        }
    }
    RC_ASSERT(s.view.errors.size() == m.errors);
    RC_ASSERT(s.view.messages.size() == m.messages);
}

// What Save must do from the model's state: the fields it must name in its
// refusal, or the bytes of the saved file (nothing when the module refuses
// the table as a whole).
struct SaveOutcome {
    std::vector<std::string> refusedFields;
    std::optional<Bytes> bytes;
    ModelTable table;
};

SaveOutcome ExpectedSave(const Model& m)
{
    SaveOutcome out;
    const Module& read = m.loaded->read;
    out.table = m.working;
    for (int r = 1; r <= m.shownRows(); ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            const std::string name = m.text(ModelField(f, r));
            if (const auto bytes = Utf8ToLatin1(name))
                out.table.name(r, f) = *bytes;
            else
                out.refusedFields.push_back(CellName(f, r) + ", \"" + name + "\"");
        }
    }
    if (!out.refusedFields.empty())
        return out;
    for (int r = 1; r <= m.shownRows(); ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            const std::string text = m.text(LbaField(f, r));
            const std::int64_t asRead = read.table.value(r, f);
            if (text == IntToStr(asRead)) {
                out.table.value(r, f) = asRead;
                continue;
            }
            const std::optional<std::int64_t> value = LbaFieldValue(text);
            if (value && ValueProblem(*value, read.layout).empty())
                out.table.value(r, f) = *value;
            else
                out.refusedFields.push_back(CellName(f, r) + ", \"" + text + "\"");
        }
    }
    if (!out.refusedFields.empty())
        return out;
    Module candidate;
    candidate.image.assign(m.loaded->bytes);
    candidate.directory = read.directory;
    candidate.layout = read.layout;
    candidate.table = out.table;
    if (!CheckValuesFit(out.table, read.table, read.layout).empty() ||
        !WriteModelList(out.table, read.directory, read.layout, candidate.image).empty())
        return out;
    UpdateChecksum(candidate.image);
    if (CheckReadsBack(candidate).empty())
        out.bytes = candidate.image.bytes();
    return out;
}

// Load, a drop and every way they fail. The model reads the file itself.
struct Load : Step {
    enum Kind { Good, Missing, Refused, CutShort, Cancelled } kind;
    bool dropped = *rc::gen::arbitrary<bool>();
    DrawnModule drawn = *GenModule();
    std::size_t cut = 0;

    Load()
        : kind(*rc::gen::weightedElement<Kind>(
              {{6, Good}, {1, Missing}, {1, Refused}, {1, CutShort}, {1, Cancelled}}))
    {
        if (kind == CutShort)
            cut = *rc::gen::inRange<std::size_t>(0, drawn.bytes().size());
        if (kind == Cancelled)
            dropped = false;
    }
    Bytes bytes() const
    {
        Bytes b = kind == Refused ? drawn.builder().moduleId(13).build().bytes : drawn.bytes();
        if (kind == CutShort)
            b.resize(cut);
        return b;
    }

    void apply(Model& m) const override
    {
        m.loaded.reset();
        m.working.reset();
        for (int r = 1; r <= kShownRows; ++r) {
            for (int f = 1; f <= kFormats; ++f)
                m.texts[ModelField(f, r)] = m.texts[LbaField(f, r)] = {};
        }
        m.active.clear();
        if (kind == Cancelled || kind == Missing) {
            m.errors += kind == Missing;
            return;
        }
        ReadModule read{bytes(), {}};
        read.read.image.assign(read.bytes);
        try {
            if (!ReadModelListModule(read.read))
                return;
        } catch (const std::exception&) {
            ++m.errors;
            return;
        }
        m.working = read.read.table;
        m.loaded = std::move(read);
        m.show(m.working);
    }
    void act(Session& s) const override
    {
        const fs::path file = s.nextFile();
        if (kind != Missing && kind != Cancelled)
            WriteFileBytes(file.string(), bytes());
        if (dropped) {
            s.session.LoadDroppedFile(file);
        } else {
            s.view.openAnswers.push_back(kind == Cancelled ? fs::path() : file);
            s.session.btLoadClick();
        }
    }
    void show(std::ostream& os) const override
    {
        static const char* const kinds[] = {"module", "missing file", "refused module", "module cut short",
                                            "cancelled"};
        os << (dropped ? "Drop " : "Load ") << kinds[kind];
        if (kind == CutShort)
            os << " at byte " << cut;
        if (kind != Missing && kind != Cancelled) {
            os << ": ";
            showValue(drawn, os);
        }
    }
};

rc::Gen<std::string> GenLbaText(const Model& m, int format, int row)
{
    std::vector<std::string> others;
    for (const auto& [id, text] : m.texts)
        others.push_back(text);
    const std::string loaded = m.loaded ? IntToStr(m.loaded->read.table.value(row, format)) : "0";
    return rc::gen::weightedOneOf<std::string>({
        {3, rc::gen::just(loaded)},
        {3, rc::gen::map(GenValue(), [](std::int64_t v) { return IntToStr(v); })},
        {2, rc::gen::element<std::string>("2000G", "2T", "1G", "16T", "500g", "", " 123", "123 ", "$10", "x1F",
                                          "0x7FFFFFFF", "-5", "-1", "4294967295", "4294967296",
                                          "9223372036854775807", "abc", "1.5T")},
        {1, rc::gen::map(rc::gen::inRange(0, 100000),
                         [](int n) { return std::to_string(n) + (n % 2 ? "G" : "T"); })},
        {1, rc::gen::elementOf(others)},
    });
}

rc::Gen<ControlId> GenActiveField(const Model& m, bool lba)
{
    std::vector<ControlId> fields;
    for (int r = 1; r <= kShownRows; ++r) {
        for (int f = 1; f <= kFormats; ++f) {
            const ControlId id = lba ? LbaField(f, r) : ModelField(f, r);
            if (m.isActive(id))
                fields.push_back(id);
        }
    }
    RC_PRE(!fields.empty());
    return rc::gen::elementOf(fields);
}

const editor::ControlDescription& Describe(ControlId id) { return editor::WindowControls()[std::size_t(id)]; }

// Typing into an active name or LBA field, or into the template, divider
// or alignment that Auto and From Head read.
struct Type : Step {
    enum Into { Lba, Name, Input } into = *rc::gen::weightedElement<Into>({{3, Lba}, {1, Name}, {1, Input}});
    ControlId field = kNoField;
    std::string text;
    static constexpr ControlId kNoField = -1;

    explicit Type(const Model& m)
    {
        if (into == Input) {
            field = *rc::gen::element(Controls().edModel, Controls().edDivider, Controls().edAligned);
            text = field == Controls().edModel
                       ? *rc::gen::element<std::string>("WDC WD20EARS-00MVWB0", "AB", "", "\xD0\x96 1")
                       : *rc::gen::element<std::string>("15", "1", "3", "0", "-2", "", "x10");
            return;
        }
        field = *GenActiveField(m, into == Lba);
        text = into == Lba ? *GenLbaText(m, Describe(field).format, Describe(field).row)
                           : *rc::gen::oneOf(rc::gen::map(rc::gen::container<std::string>(rc::gen::inRange<char>(32, 127)),
                                                          [](std::string t) { return t.substr(0, 30); }),
                                             rc::gen::element<std::string>("", "  WDC  ", "\xC3\xA9t\xC3\xA9",
                                                                           "\xD0\x96", "x\xE2\x82\xAC"));
    }
    void checkPreconditions(const Model& m) const override { RC_PRE(into == Input || m.isActive(field)); }
    void apply(Model& m) const override { m.texts[field] = text; }
    void act(Session& s) const override { s.view.type(field, text); }
    void show(std::ostream& os) const override { os << "Type \"" << text << "\" into " << Describe(field).name; }
};

// Enter or the field's button in an LBA field.
struct Convert : Step {
    ControlId field;
    bool button = *rc::gen::arbitrary<bool>();
    explicit Convert(const Model& m) : field(*GenActiveField(m, true)) {}
    void checkPreconditions(const Model& m) const override { RC_PRE(m.isActive(field)); }
    void apply(Model& m) const override
    {
        try {
            if (button)
                m.texts[field] = ConvertOnButton(m.text(field));
            else if (const auto converted = ConvertOnEnter(m.text(field)))
                m.texts[field] = *converted;
        } catch (const std::exception&) {
            ++m.errors;
        }
    }
    void act(Session& s) const override
    {
        if (button)
            s.session.LBA11ButtonClick(field);
        else
            s.session.LBA11KeyPress(field, 13);
    }
    void show(std::ostream& os) const override { os << (button ? "Button of " : "Enter in ") << Describe(field).name; }
};

struct Auto : Step {
    void checkPreconditions(const Model& m) const override { RC_PRE(bool(m.loaded)); }
    void apply(Model& m) const override
    {
        AutoInputs inputs;
        inputs.alignment = StrToIntDef(m.text(Controls().edAligned), 50);
        const auto modelTemplate = Utf8ToLatin1(m.text(Controls().edModel));
        if (!modelTemplate) {
            ++m.messages;
            return;
        }
        inputs.modelTemplate = *modelTemplate;
        inputs.headSize = StrToInt64Def(m.text(LbaField(1, 1)), 0);
        if (inputs.headSize == 0) {
            ++m.messages;
            return;
        }
        inputs.divider = StrToIntDef(m.text(Controls().edDivider), 0);
        try {
            AutoFillTable(m.working, m.rows(), inputs);
        } catch (const std::exception&) {
            ++m.errors;
            return;
        }
        m.show(m.working);
    }
    void act(Session& s) const override { s.session.btAutoClick(); }
    void show(std::ostream& os) const override { os << "Auto"; }
};

struct FromHead : Step {
    int head = *rc::gen::inRange(1, 11);
    void checkPreconditions(const Model& m) const override { RC_PRE(bool(m.loaded)); }
    void apply(Model& m) const override
    {
        const auto modelTemplate = Utf8ToLatin1(m.text(Controls().edModel));
        if (!modelTemplate) {
            ++m.messages;
            return;
        }
        try {
            const auto rows = FromHeadRows(StrToInt64Def(m.text(LbaField(1, head)), 0) / head, m.rows(),
                                           StrToIntDef(m.text(Controls().edAligned), 50), *modelTemplate);
            for (int r = 1; r <= int(rows.size()); ++r) {
                m.texts[ModelField(1, r)] = Latin1ToUtf8(rows[std::size_t(r - 1)].name);
                m.texts[LbaField(1, r)] = IntToStr(rows[std::size_t(r - 1)].value);
            }
        } catch (const std::exception&) {
            ++m.errors;
        }
    }
    void act(Session& s) const override { s.session.miFromHeadClick(head); }
    void show(std::ostream& os) const override { os << "From Head " << head; }
};

struct Save : Step {
    bool confirmed = *rc::gen::weightedElement<bool>({{3, true}, {1, false}});
    void apply(Model& m) const override
    {
        if (!m.loaded) {
            ++m.messages;  // nothing to save
            return;
        }
        const SaveOutcome out = ExpectedSave(m);
        if (!out.bytes) {
            ++m.messages;
            return;
        }
        m.working = out.table;
    }
    void act(Session& s) const override
    {
        s.view.saveAnswers.push_back(confirmed ? s.dir / "saved.bin" : fs::path());
        s.session.btSaveClick();
        s.view.saveAnswers.clear();
    }
    void run(const Model& m0, Session& s) const override
    {
        const fs::path file = s.dir / "saved.bin";
        fs::remove(file);
        Step::run(m0, s);
        if (!m0.loaded) {
            RC_ASSERT(!fs::exists(file));
            return;
        }
        const SaveOutcome out = ExpectedSave(m0);
        if (!out.bytes) {
            RC_ASSERT(!fs::exists(file));
            // The refusal names exactly the fields the model finds wrong.
            std::istringstream message(s.view.messages.back());
            std::string line;
            std::getline(message, line);
            for (const std::string& field : out.refusedFields) {
                RC_ASSERT(std::getline(message, line));
                RC_ASSERT(line.rfind(field + ": ", 0) == 0);
            }
            if (!out.refusedFields.empty()) {
                RC_ASSERT(std::getline(message, line));
                RC_ASSERT(line == "Nothing was written.");
            }
            return;
        }
        if (!confirmed) {
            RC_ASSERT(!fs::exists(file));
            return;
        }
        RC_ASSERT(ReadFileBytes(file.string()) == *out.bytes);
    }
    void show(std::ostream& os) const override { os << (confirmed ? "Save" : "Save, dialog cancelled"); }
};

}  // namespace

RC_GTEST_PROP(Sequence, EverySaveWritesWhatTheFieldsShowOverTheModuleAsRead, ())
{
    Session session;
    const Model initial;
    const auto commands = *rc::gen::scale(
        0.3, rc::state::gen::commands(initial, [](const Model& m) {
            return rc::state::gen::execOneOfWithArgs<Load, Load, Type, Type, Type, Type, Convert, Auto,
                                                     FromHead, Save, Save, Save>()(m);
        }));
    rc::state::runAll(commands, initial, session);
}
