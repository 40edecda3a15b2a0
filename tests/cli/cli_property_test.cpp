// Laws of the tool over random modules: the cells a command does not write
// go back as they were read, a fixed checksum checks and any covered byte
// breaks it, and the tool writes the bytes the editing session writes for
// the same edit. RapidCheck prints the seed and the shrunk module.

#include "cli_fixture.h"
#include "fake_view.h"
#include "invariants.h"
#include "module_gen.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <rapidcheck/gtest.h>

#include <random>

namespace {

namespace fs = std::filesystem;
using namespace zentab;
using namespace zentab::testkit;

// One folder for every case of this process: each case writes the same
// names again. CTest runs the properties side by side.
struct Folder {
    fs::path dir = fs::temp_directory_path() /
                   ("zentab-cli-properties-" + std::to_string([] {
                        static const unsigned id = std::random_device()();
                        return id;
                    }()));
    Folder()
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Folder()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string operator()(const std::string& name) const { return Argument(dir / name); }
};

ProcessResult Zentab(const std::vector<std::string>& args)
{
    ProcessResult result = RunProcess(ZENTAB_CLI_PATH, args, StandardOutput::captured(), std::chrono::seconds(20));
    RC_ASSERT(!result.timedOut);
    return result;
}

// Runs zentab with an -o OUT; the written bytes, or nothing when it wrote
// no file, which it must then also say with a failing status.
std::optional<Bytes> Written(std::vector<std::string> args, const std::string& out)
{
    fs::remove(fs::path(out));
    args.insert(args.end(), {"-o", out});
    const ProcessResult result = Zentab(args);
    if (!fs::exists(fs::path(out))) {
        RC_ASSERT(result.status != 0);
        return std::nullopt;
    }
    RC_ASSERT(result.status == 0);
    return ReadFileBytes(out);
}

}  // namespace

RC_GTEST_PROP(Roundtrip, ToolWritesWhatItDidNotTouchAsItWasRead, ())
{
    const Folder at;
    const DrawnModule drawn = *GenModule();
    const BuiltModule built = drawn.builder().build();
    const std::string in = at("in.bin");
    WriteFileBytes(in, built.bytes);

    // fix: the checksum alone.
    const std::optional<Bytes> fixed = Written({"fix", in}, at("fixed.bin"));
    if (!fixed)
        return;  // not a module the tool can read; it wrote nothing
    for (std::size_t i = 0; i < built.bytes.size(); ++i)
        RC_ASSERT(((*fixed)[i] == built.bytes[i]) || (drawn.royl ? i >= 12 && i < 16 : i == 3));

    // set of one cell to what it holds: the save of the module unchanged.
    const int format = *rc::gen::inRange(1, 7);
    const int row = *rc::gen::inRange(1, drawn.rows + 1);
    const auto shown = nlohmann::json::parse(Zentab({"show", "--json", in}).out);
    const std::int64_t held = shown["formats"][format - 1]["rows"][row - 1]["lba"].get<std::int64_t>();
    const std::optional<Bytes> same =
        Written({"set", in, "--format", std::to_string(format), "--row", std::to_string(row), "--lba",
                 std::to_string(held)},
                at("same.bin"));
    RC_ASSERT(same.has_value());
    if (const std::string change = UnexpectedChange(built, drawn.royl, drawn.rows, *same); !change.empty())
        RC_FAIL(change);

    // export, then import into the same module: the same bytes again.
    WriteFileBytes(at("table.csv"), [&] {
        const std::string csv = Zentab({"export", in}).out;
        return Bytes(csv.begin(), csv.end());
    }());
    const std::optional<Bytes> imported = Written({"import", in, at("table.csv")}, at("imported.bin"));
    RC_ASSERT(imported == same);
}

RC_GTEST_PROP(Checksum, FixedChecksIsValidAndAnyCoveredByteMakesItWrong, ())
{
    const Folder at;
    const DrawnModule drawn = *GenModule();
    WriteFileBytes(at("in.bin"), drawn.bytes());
    const std::optional<Bytes> fixed = Written({"fix", at("in.bin")}, at("fixed.bin"));
    RC_PRE(fixed.has_value());
    RC_ASSERT(Zentab({"check", at("fixed.bin")}).status == 0);

    Bytes damaged = *fixed;
    const std::size_t byte = *rc::gen::inRange<std::size_t>(0, damaged.size());
    damaged[byte] ^= *rc::gen::inRange<std::uint8_t>(1, 255);
    WriteFileBytes(at("damaged.bin"), damaged);
    const ProcessResult check = Zentab({"check", at("damaged.bin")});
    // The word sum leaves the last size mod 4 bytes of a ROYL module out.
    const bool covered = !drawn.royl || byte < damaged.size() / 4 * 4;
    RC_ASSERT(check.status == (covered ? 1 : 0));
    RC_ASSERT(check.out.find(covered ? "checksum WRONG" : "checksum OK") != std::string::npos);
}

RC_GTEST_PROP(Faces, SessionAndToolWriteTheSameBytes, ())
{
    const Folder at;
    const DrawnModule drawn = *GenModule();
    const std::string in = at("in.bin");
    WriteFileBytes(in, drawn.bytes());

    Module module;
    FakeView view;
    editor::EditorSession session{module, view};
    view.session = &session;
    view.openAnswers.push_back(fs::path(in));
    session.btLoadClick();
    RC_PRE(view.errors.empty());

    // The session shows what the tool lists.
    const auto shown = nlohmann::json::parse(Zentab({"show", "--json", in}).out);
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= std::min(drawn.rows, 10); ++r) {
            const auto& cell = shown["formats"][f - 1]["rows"][r - 1];
            RC_ASSERT(view.text(editor::ModelField(f, r)) == cell["name"].get<std::string>());
            RC_ASSERT(view.text(editor::LbaField(f, r)) == std::to_string(cell["lba"].get<std::int64_t>()));
        }
    }

    // One edit through both faces: the same bytes, or both refuse.
    const int format = *rc::gen::inRange(1, 7);
    const int row = *rc::gen::inRange(1, std::min(drawn.rows, 10) + 1);
    std::vector<std::string> set = {"set", in, "--format", std::to_string(format), "--row", std::to_string(row)};
    if (*rc::gen::arbitrary<bool>()) {
        std::string name = *rc::gen::container<std::string>(rc::gen::inRange<char>(32, 127));
        name.resize(std::min<std::size_t>(name.size(), 24));
        view.type(editor::ModelField(format, row), name);
        set.insert(set.end(), {"--name", name});
    } else {
        const std::string value = std::to_string(*GenValue());
        view.type(editor::LbaField(format, row), value);
        set.insert(set.end(), {"--lba", value});
    }
    fs::remove(fs::path(at("session.bin")));
    view.saveAnswers.push_back(fs::path(at("session.bin")));
    session.btSaveClick();
    const std::optional<Bytes> bySession =
        fs::exists(fs::path(at("session.bin"))) ? std::optional<Bytes>(ReadFileBytes(at("session.bin"))) : std::nullopt;
    const std::optional<Bytes> byTool = Written(set, at("tool.bin"));
    RC_ASSERT(bySession == byTool);
}
