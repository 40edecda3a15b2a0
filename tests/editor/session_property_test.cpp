// Laws of Save through the editing session, over random modules: what the
// technician did not touch is written back as it was, and one edit changes
// exactly its own cell. RapidCheck prints the seed and the shrunk module.

#include "fake_view.h"
#include "invariants.h"
#include "latin1_text.h"
#include "module_edit.h"
#include "module_gen.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;
using namespace zentab;
using namespace zentab::testkit;
using editor::LbaField;
using editor::ModelField;

// A folder of this process's own, emptied for each case: CTest runs the
// properties side by side.
fs::path CaseFolder()
{
    static const fs::path folder =
        fs::temp_directory_path() / ("zentab-session-properties-" + std::to_string(std::random_device()()));
    return folder;
}

struct Bench {
    Module module;
    FakeView view;
    editor::EditorSession session{module, view};
    fs::path dir = CaseFolder();

    Bench()
    {
        view.session = &session;
        fs::create_directories(dir);
        fs::remove(dir / "out.bin");
    }
    ~Bench()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;
    bool load(const std::vector<std::uint8_t>& bytes)
    {
        WriteFileBytes((dir / "in.bin").string(), bytes);
        view.openAnswers.push_back(dir / "in.bin");
        session.btLoadClick();
        return view.errors.empty();
    }
    // The saved bytes, or nothing when Save wrote no file.
    std::optional<std::vector<std::uint8_t>> save()
    {
        view.saveAnswers.push_back(dir / "out.bin");
        session.btSaveClick();
        if (!fs::exists(dir / "out.bin"))
            return std::nullopt;
        return ReadFileBytes((dir / "out.bin").string());
    }
};

ModelTable TableOf(const std::vector<std::uint8_t>& bytes)
{
    Module m;
    m.image.assign(bytes);
    RC_ASSERT(ReadModelListModule(m));
    return m.table;
}

void AssertSameTable(const ModelTable& a, const ModelTable& b)
{
    RC_ASSERT(a.names == b.names);
    RC_ASSERT(a.values == b.values);
}

}  // namespace

RC_GTEST_PROP(Roundtrip, SessionSaveWithoutEditsKeepsEveryByteButNamesAndChecksum, ())
{
    const DrawnModule drawn = *GenModule();
    const BuiltModule built = drawn.builder().build();
    Bench bench;
    const bool loads = bench.load(built.bytes);
    RC_TAG(loads ? (bench.module.layout.isNew ? "NEW" : "STD") : "does not load");
    if (!loads) {
        RC_ASSERT(!bench.save());  // a module that did not load is never written
        return;
    }
    const auto saved = bench.save();
    if (!saved)
        RC_FAIL("Save wrote nothing: " + (bench.view.messages.empty() ? std::string() : bench.view.messages.back()));
    if (const std::string change = UnexpectedChange(built, drawn.royl, drawn.rows, *saved); !change.empty())
        RC_FAIL(change);
    AssertSameTable(TableOf(*saved), TableOf(built.bytes));
}

RC_GTEST_PROP(Roundtrip, SessionOneTypedCellChangesOnlyThatCell, ())
{
    const DrawnModule drawn = *GenModule();
    const BuiltModule built = drawn.builder().build();
    Bench bench;
    RC_PRE(bench.load(built.bytes));
    const Module loaded = bench.module;
    const int format = *rc::gen::inRange(1, 7);
    const int row = *rc::gen::inRange(1, std::min(drawn.rows, 10) + 1);

    EditedCell edit;
    edit.row = row;
    edit.format = format;
    ModelTable expected = loaded.table;
    bool mustBeTaken = true;
    if (*rc::gen::arbitrary<bool>()) {
        // Latin-1 text, typed as the window's UTF-8.
        const std::string name = *rc::gen::container<std::string>(
            rc::gen::map(rc::gen::inRange(32, 256), [](int code) { return static_cast<char>(code); }));
        edit.name = name;
        expected.name(row, format) = CleanName(FieldOf(name));
        bench.view.type(ModelField(format, row), Latin1ToUtf8(name));
    } else {
        const std::int64_t value = *GenValue();
        edit.value = value;
        expected.value(row, format) = loaded.layout.isNew ? value : value & 0xFFFFFFFF;
        edit.valueWidth = loaded.layout.isNew ? 8 : 4;
        edit.valueAt = loaded.layout.isNew
                           ? loaded.layout.newBlockOffset + 8 * ((format - 1) * loaded.layout.rowsPerFormat + row - 1)
                           : built.stdValueAt(row, format);
        bool mainAllZero = true;
        for (int r = 1; r <= drawn.rows; ++r)
            mainAllZero = mainAllZero && (expected.value(r, 1) & 0xFFFFFFFF) == 0;
        bool markerAmongValues = value == kMarkerValue;
        for (std::int64_t v : drawn.values)
            markerAmongValues = markerAmongValues || v == kMarkerValue;
        mustBeTaken = (loaded.layout.isNew ? value >= 0 && !markerAmongValues
                                           : value >= 0 && value <= 0xFFFFFFFF && !mainAllZero);
        bench.view.type(LbaField(format, row), std::to_string(value));
    }
    const auto saved = bench.save();
    if (!saved) {
        RC_ASSERT(!mustBeTaken);
        // Refused: the module in memory and the file stay as they were.
        RC_ASSERT(bench.module.image.bytes() == loaded.image.bytes());
        RC_ASSERT(ReadFileBytes((bench.dir / "in.bin").string()) == built.bytes);
        return;
    }
    if (const std::string change = UnexpectedChange(built, drawn.royl, drawn.rows, *saved, edit); !change.empty())
        RC_FAIL(change);
    AssertSameTable(TableOf(*saved), expected);
}
