// The built zentab tool against modules synthesised in a temp dir: what it
// prints and writes, and its exit status.

#include "cli_fixture.h"
#include "expected_capacities.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

using namespace zentab::testkit;
using nlohmann::json;

namespace {

ModuleBuilder Form(bool royl, bool isNew, int rows = 4)
{
    ModuleBuilder builder;
    if (!royl)
        builder.legacy();
    return builder.newLayout(isNew).rows(rows);
}

class CliShow : public CliFixture {};
class CliEdit : public CliFixture {};
class CliHostile : public CliFixture {};
class CliUsage : public CliFixture {};

TEST_F(CliShow, JsonDescribesHeaderLayoutChecksumAndLists)
{
    constexpr std::int64_t kAboveDouble = (std::int64_t{1} << 53) + 1;
    const struct {
        bool royl, isNew, badChecksum;
        int rows, entries;
    } cases[] = {
        {true, false, false, 4, 12},  {false, false, true, 4, 12}, {true, true, true, 4, 12},
        {false, true, false, 12, 12}, {true, false, false, 3, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl=" << c.royl << " new=" << c.isNew << " rows=" << c.rows);
        ModuleBuilder builder = Form(c.royl, c.isNew, c.rows).entryCount(c.entries).name(2, 3, "Custom name");
        if (c.badChecksum)
            builder.badChecksum();
        if (c.isNew)
            builder.value(1, 6, kAboveDouble).value(2, 6, INT64_MAX).value(3, 6, -488354832);
        const BuiltModule built = builder.build();
        const Outcome r = run({"show", "--json", write("m.bin", built.bytes)});
        ASSERT_EQ(r.status, 0) << r.err;
        // In the order of the text, which is sorted.
        const nlohmann::ordered_json json = nlohmann::ordered_json::parse(r.out);
        std::vector<std::string> keys;
        for (const auto& item : json.items())
            keys.push_back(item.key());
        EXPECT_EQ(keys, (std::vector<std::string>{"checksum", "directory", "entry_count", "form", "formats", "layout",
                                                  "module_id", "new_block_offset", "rows"}));
        EXPECT_EQ(json["form"], c.royl ? "ROYL" : "legacy");
        EXPECT_EQ(json["layout"], c.isNew ? "NEW" : "STD");
        EXPECT_EQ(json["module_id"].get<std::int64_t>(), 12);
        EXPECT_EQ(json["entry_count"].get<std::int64_t>(), c.entries);
        EXPECT_EQ(json["rows"].get<std::int64_t>(), c.rows);
        EXPECT_EQ(json["new_block_offset"].get<std::int64_t>(), built.newBlockOffset);
        const auto& directory = json["directory"];
        ASSERT_EQ(directory.size(), 12u);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(directory[i][0].get<std::int64_t>(), built.blockOffset[i]);
            EXPECT_EQ(directory[i][1].get<std::int64_t>(), c.rows * (i < 6 ? 24 : 4));
        }
        const auto& checksum = json["checksum"];
        const std::uint64_t stored = c.royl ? LE(built.bytes, 12, 4) : built.bytes[3];
        EXPECT_EQ(checksum["stored"].get<std::int64_t>(), static_cast<std::int64_t>(stored));
        EXPECT_EQ(checksum["computed"].get<std::int64_t>(),
                  static_cast<std::int64_t>((stored - (c.badChecksum ? 1 : 0)) & (c.royl ? 0xFFFFFFFFu : 0xFFu)));
        EXPECT_EQ(checksum["valid"].get<bool>(), !c.badChecksum);

        const auto& formats = json["formats"];
        ASSERT_EQ(formats.size(), 6u);
        for (int f = 1; f <= 6; ++f) {
            EXPECT_EQ(formats[f - 1]["name"], f == 1 ? std::string("Main") : "Alt " + std::to_string(f - 1));
            const auto& rows = formats[f - 1]["rows"];
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(std::min(c.rows, 11)));
            for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
                EXPECT_EQ(rows[row - 1]["name"].get<std::string>(),
                          row == 2 && f == 3 ? "Custom name" : ModuleBuilder::defaultName(row, f));
                const std::int64_t special[] = {kAboveDouble, INT64_MAX, -488354832};
                EXPECT_EQ(rows[row - 1]["lba"].get<std::int64_t>(),
                          c.isNew && f == 6 && row <= 3 ? special[row - 1] : builder.defaultValue(row, f));
            }
        }
        // Exact in the text itself, not only after a lenient parse.
        if (c.isNew) {
            EXPECT_NE(r.out.find("9007199254740993"), std::string::npos);
            EXPECT_NE(r.out.find("9223372036854775807"), std::string::npos);
        }
    }
}

TEST_F(CliShow, TableShowsElevenRowsWithSizes)
{
    const Outcome r = run({"show", write("m.bin", ModuleBuilder().rows(12).value(1, 1, 3907029168).build().bytes)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3907029168  2.0T"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(ModuleBuilder::defaultName(11, 6)), std::string::npos);
    EXPECT_EQ(r.out.find(ModuleBuilder::defaultName(12, 1)), std::string::npos);
    EXPECT_NE(r.out.find("Rows 12 to 12"), std::string::npos);
    EXPECT_NE(r.out.find("valid"), std::string::npos);
}

// Written modules are compared whole with ones built to match, checksum included.
TEST_F(CliEdit, FixMakesTheChecksumValidAndChangesNothingElse)
{
    for (bool royl : {true, false}) {
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "royl=" << royl << " inPlace=" << inPlace);
            const ModuleBuilder module = Form(royl, !royl).tail(3).name(1, 1, "  padded  ");
            const std::string in = write("m.bin", ModuleBuilder(module).badChecksum().build().bytes);
            const std::string out = inPlace ? in : path("out.bin");
            const Outcome r = run({"fix", in, "-o", out});
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(ReadFileBytes(out), module.build().bytes);
        }
    }
}

TEST_F(CliEdit, SetWritesOneCellExactly)
{
    const struct {
        bool royl, isNew;
        int format, row;
        const char* lba;
        std::int64_t expected;
        const char* name;
    } cases[] = {
        {true, false, 1, 1, "2T", 3907029168, nullptr},
        {false, true, 1, 1, "2T", 3907029168, nullptr},
        {true, true, 6, 4, "9007199254740993", 9007199254740993, "WDC WD20EARS-00MVWB0"},
        {false, false, 3, 2, "500G", 976773168, "X"},
        {true, false, 2, 3, "4294967295", 4294967295, "exactly twenty-four char"},
        {true, false, 4, 4, nullptr, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "f" << c.format << " r" << c.row);
        std::vector<std::string> args{"set", write("m.bin", Form(c.royl, c.isNew).build().bytes), "--format",
                                      std::to_string(c.format), "--row", std::to_string(c.row), "-o", path("out.bin")};
        ModuleBuilder expected = Form(c.royl, c.isNew);
        if (c.lba) {
            args.insert(args.end(), {"--lba", c.lba});
            expected.value(c.row, c.format, c.expected);
        }
        if (c.name) {
            args.insert(args.end(), {"--name", c.name});
            expected.name(c.row, c.format, c.name);
        }
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ReadFileBytes(path("out.bin")), expected.build().bytes);
    }
}

TEST_F(CliEdit, AutoFillsAllSixFormatsFromHeadZero)
{
    const struct {
        bool royl, isNew;
        int rows;
    } cases[] = {{true, false, 4}, {false, true, 4}, {true, true, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl=" << c.royl << " new=" << c.isNew << " rows=" << c.rows);
        const BuiltModule built = Form(c.royl, c.isNew, c.rows).build();
        const Outcome r = run({"auto", write("m.bin", built.bytes), "--head0", std::to_string(kAutoHead0), "-o",
                               path("out.bin")});
        ASSERT_EQ(r.status, 0) << r.err;
        const Bytes saved = ReadFileBytes(path("out.bin"));
        // Rows 5 to 11 are worked out in the core tests; here they are taken
        // as written, and row 12 past the table must keep its bytes.
        ModuleBuilder expected = Form(c.royl, c.isNew, c.rows);
        for (int f = 1; f <= 6; ++f) {
            for (int row = 1; row <= std::min(c.rows, 11); ++row) {
                const std::size_t valueAt = c.isNew ? built.newValueAt(row, f, c.rows) : built.stdValueAt(row, f);
                if (row <= 4) {
                    const AutoCell& cell = kAutoRows[f - 1][row - 1];
                    expected.name(row, f, AutoModelName(cell.number)).value(row, f, cell.lba);
                } else {
                    expected.rawName(row, f, NameAt(saved, built.nameFieldAt(row, f)))
                        .value(row, f, static_cast<std::int64_t>(LE(saved, valueAt, 8)));
                }
            }
        }
        EXPECT_EQ(saved, expected.build().bytes);
    }
}

TEST_F(CliEdit, RefusedEditsWriteNothing)
{
    const BuiltModule plain = ModuleBuilder().build();
    const ModuleBuilder four;
    const std::string csv = "format,row,name,lba\r\nAlt 1,2,X,-5\r\n";
    const std::string negativeTable = write("negative.csv", std::vector<std::uint8_t>(csv.begin(), csv.end()));
    const struct {
        std::vector<std::string> args;  // after FILE; -o OUT follows
        ModuleBuilder module;
        const char* message;
    } cases[] = {
        // Row 9 comes to 4395405168, which an STD module cannot hold.
        {{"auto", "--head0", "488397168"}, ModuleBuilder().rows(10), "does not fit the 32-bit"},
        {{"auto", "--head0", "488397168", "--divider", "1"}, four, "does not fit the 32-bit"},
        {{"auto", "--head0", "488397168", "--template", "WDC WD20EARS-00MVWB0-XYZ"}, four, "the field holds 24"},
        {{"set", "--format", "1", "--row", "1", "--lba", "3T"}, four, "does not fit the 32-bit"},
        {{"set", "--format", "2", "--row", "4", "--lba", "-1"}, four, "does not fit the 32-bit"},
        // Saved as asked, these would read back as other data.
        {{"set", "--format", "1", "--row", "1", "--lba", "0"}, ModuleBuilder().rows(1), "taken as NEW"},
        {{"set", "--format", "3", "--row", "2", "--lba", "538976288"}, ModuleBuilder().newLayout(),
         "spells the block marker"},
        {{"set", "--format", "1", "--row", "1", "--name", "CHANGED"},
         ModuleBuilder().entry(1, plain.blockOffset[0], 96), "overlap"},
        {{"set", "--format", "1", "--row", "2", "--lba", "123"}, ModuleBuilder().entry(7, plain.blockOffset[6], 16),
         "overlap"},
        // A NEW module would keep the bits of a negative value.
        {{"set", "--format", "2", "--row", "4", "--lba", "-5"}, ModuleBuilder().newLayout(), "is negative"},
        {{"set", "--format", "1", "--row", "1", "--name", "caf\xc3\xa9"}, four, "outside printable ASCII"},
        {{"set", "--format", "1", "--row", "1", "--name", "tab\there"}, four, "outside printable ASCII"},
        {{"import", negativeTable}, ModuleBuilder().newLayout(), "is negative"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& word : c.args)
            line += word + " ";
        SCOPED_TRACE(line);
        std::vector<std::string> args{c.args[0], write("m.bin", c.module.build().bytes)};
        args.insert(args.end(), c.args.begin() + 1, c.args.end());
        args.insert(args.end(), {"-o", path("out.bin")});
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(": Edit refused: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(" Nothing was written.\n"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(path("out.bin")));
    }
}

TEST_F(CliEdit, CapacityPrintsEachValueAndReportsBadTexts)
{
    const Outcome good = run({"capacity", "2T", "2000G", "500G", "123"});
    EXPECT_EQ(good.status, 0) << good.err;
    for (const char* text : {"2T                    3907029168  2.0T\n", "2000G                 3907029168  2.0T\n",
                             "500G                   976773168  500G\n", "123  63\n"})
        EXPECT_NE(good.out.find(text), std::string::npos) << text << " in\n" << good.out;

    const Outcome bad = run({"capacity", "2T", "2.5T", "2T5", "99999999999999999T", "1e3"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("3907029168"), std::string::npos);
    for (const char* text : {"\"2.5T\"", "\"2T5\"", "\"99999999999999999T\"", "\"1e3\""})
        EXPECT_NE(bad.err.find(text), std::string::npos) << text;
}

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

TEST_F(CliHostile, DamagedModulesAreRefusedAndNothingIsWritten)
{
    const BuiltModule royl = ModuleBuilder().build();
    enum Kind { File, Directory, Missing };
    const struct {
        const char* label;
        Kind kind;
        Bytes bytes;
        const char* message;
        // Read and shown as it is; only an edit that would land on the
        // header or on bytes another list uses is refused.
        bool readable = false;
    } cases[] = {
        {"empty file", File, {}, "Stream read error"},
        // fix takes any module id; every other command only a model list.
        {"wrong id", File, ModuleBuilder().moduleId(13).build().bytes, "not a model-list module"},
        {"blocks cut", File, Cut(royl.bytes, royl.headerSize + 50), "Stream read error"},
        // The missing entry 5 has offset 0.
        {"five entries", File, ModuleBuilder().entryCount(5).build().bytes, "inside the module header", true},
        {"name block over header", File, ModuleBuilder().entry(2, 16, 96).build().bytes, "inside the module header",
         true},
        {"NEW without marker", File, ModuleBuilder().newLayout().withMarker(false).build().bytes,
         "Stream read error"},
        {"rows beyond blocks", File, ModuleBuilder().entry(0, royl.blockOffset[0], 0xFFFFFFF0).tail(400).build().bytes,
         "overlap", true},
        {"directory as FILE", Directory, {}, "Cannot open file"},
        {"missing file", Missing, {}, "Cannot open file"},
    };
    const Bytes keep{'k', 'e', 'e', 'p'};
    const std::string existing = write("existing.bin", keep);
    // Each case through one command in turn, so that every command meets several.
    const std::vector<std::vector<std::string>> commands{
        {"show"}, {"show", "--json"}, {"fix", "-o", existing},
        {"set", "--format", "1", "--row", "1", "--lba", "1", "-o", path("new.bin")},
        {"auto", "--head0", "488397168", "-o", path("new.bin")},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        std::vector<std::string> args = commands[i % commands.size()];
        const std::string file =
            c.kind == File ? write("m.bin", c.bytes) : c.kind == Directory ? Argument(dir_) : path("none");
        if (c.readable) {
            const Outcome shown = run({"show", file});
            EXPECT_EQ(shown.status, 0) << c.label << ": " << shown.err;
            if (args[0] != "set" && args[0] != "auto")
                args = commands[3];
        }
        SCOPED_TRACE(std::string(c.label) + ", " + args[0]);
        args.insert(args.begin() + 1, file);
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        // --json answers with an error object; nothing else is printed.
        EXPECT_EQ(r.out.empty(), std::find(args.begin(), args.end(), "--json") == args.end()) << r.out;
        EXPECT_EQ(ReadFileBytes(existing), keep);
        EXPECT_FALSE(fs::exists(path("new.bin")));
    }
}

TEST_F(CliHostile, FailedWriteLeavesNoFile)
{
    const std::string in = write("m.bin", ModuleBuilder().badChecksum().build().bytes);
    for (const std::string& out : {Argument(dir_), path("no-such-dir/out.bin")}) {
        const Outcome r = run({"fix", in, "-o", out});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Cannot create file"), std::string::npos) << r.err;
    }
    std::vector<std::string> left;
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"m.bin"});
}

// Every command line's answer: its exit status and the form of its message.
// Numbers are read by the editor's rules, a mistake in one is named rather
// than taken as a default, and a refusal names the file and the cell.
TEST_F(CliUsage, ExitStatusAndMessageOfEachCommandLine)
{
    const BuiltModule newModule = ModuleBuilder().newLayout().build();
    const std::string file = write("m.bin", newModule.bytes);
    const std::string std12 = write("s12.bin", ModuleBuilder().rows(12).build().bytes);
    Bytes cut = newModule.bytes;
    cut.resize(static_cast<std::size_t>(newModule.newBlockOffset) + 16);
    const std::string cutFile = write("cut.bin", cut);
    const std::string json = "\xEF\xBB\xBF{\"cells\": [{\"format\": \"Main\", \"row\": 1, \"lba\": 123}]}";
    const std::string table = write("bom.json", std::vector<std::uint8_t>(json.begin(), json.end()));
    const std::string out = path("out.bin");
    const std::string name25 = "twenty-five characters ab";
    const struct {
        std::vector<std::string> args;  // FILE stands for m.bin
        int status;
        std::string text;  // in standard output for status 0, standard error otherwise
        StandardOutput output = StandardOutput::captured();
    } cases[] = {
        {{"auto", "FILE", "--head0", "250G", "-o", out}, 0, "from head 0 = 488397168"},
        {{"import", "FILE", table, "-o", out}, 0, "module written to"},
        {{"show", std12}, 0, "Rows 12 to 12 of every format are not shown"},
        {{"help", "version"}, 0, "Usage: zentab version\n"},
        {{"show", "FILE"}, 141, "", StandardOutput::closedPipe()},
        {{"set", "FILE", "--format", "1", "--row", "1", "--name", name25, "-o", out}, 1,
         "zentab: " + file + ": Edit refused: Main row 1: the model name \"" + name25 +
             "\" has 25 characters; the field holds 24. Nothing was written.\n"},
        {{"show", "-"}, 1,
         "zentab: standard input: Stream read error (the module ends at byte 0 while reading the module header at 0)"},
        {{"show", "--json", cutFile}, 1,
         "Stream read error (the module ends at byte " + std::to_string(cut.size()) +
             " while reading the NEW value block at " + std::to_string(cut.size()) + ")"},
        {{"export", "--json", path("none")}, 1, "Cannot open file"},
        {{"diff", "--json", "FILE", path("none")}, 2, "Cannot open file"},
        {{"auto", "FILE", "--head0", "250Q", "-o", out}, 2, "zentab: --head0: a size or an LBA greater than 0, not \"250Q\"\n"},
        {{"auto", "FILE", "--head0", "0", "-o", out}, 2, "--head0: a size or an LBA greater than 0, not \"0\""},
        {{"auto", "FILE", "--head0", "-5", "-o", out}, 2, "--head0: a size or an LBA greater than 0, not \"-5\""},
        {{"auto", "FILE", "--head0", "250G", "--align", "5O", "-o", out}, 2, "--align: a number of 1 or more, not \"5O\""},
        {{"auto", "FILE", "--head0", "250G", "--align", "0", "-o", out}, 2, "--align: a number of 1 or more"},
        {{"auto", "FILE", "--head0", "250G", "--divider", "x", "-o", out}, 2, "--divider: a number of 1 or more, not \"x\""},
        {{"auto", "FILE", "--head0", "250G", "--divider", "0", "-o", out}, 2, "--divider: a number of 1 or more"},
        {{"auto", "FILE", "--head0", "250G", "--divider", "", "-o", out}, 2, "--divider: a number of 1 or more, not \"\""},
        {{"auto", "FILE", "--head0", "250G", "--divider", "-3", "-o", out}, 2, "--divider: a number of 1 or more, not \"-3\""},
        {{"auto", "FILE", "--head0", "250G", "--divider", "--", "-3", "-o", out}, 2, "--divider: a number of 1 or more, not \"-3\""},
        {{"set", "FILE", "--format", "1", "--row", "x3", "--name", "X", "-o", out}, 2, "--row: a number from 1 to 11, not \"x3\""},
        {{"capacity", "-5", "2T"}, 0, "-5                            -5"},
        {{"capacity", "2T", "5Q"}, 2, "zentab: TEXT: a number or a capacity such as 976773168, 500G or 2T, not \"5Q\""},
        {{"check", "--json", "--bogus"}, 2, "Unknown option 'bogus'"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        std::replace(args.begin(), args.end(), std::string("FILE"), file);
        std::string line;
        for (const std::string& word : c.args)
            line += word + " ";
        SCOPED_TRACE(line);
        fs::remove(out);
        const Outcome r = run(args, c.output);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.text), std::string::npos) << r.out << r.err;
        if (std::find(args.begin(), args.end(), "-o") != args.end()) {
            EXPECT_EQ(fs::exists(out), c.status == 0);
        }
        // --json answers with an object on an error too.
        if (c.status != 0 && std::find(args.begin(), args.end(), "--json") != args.end()) {
            const nlohmann::json object = nlohmann::json::parse(r.out, nullptr, false);
            EXPECT_EQ(object.value("status", -1), c.status) << r.out;
            EXPECT_NE(r.err.find(object.value("error", std::string("?"))), std::string::npos) << r.out;
        }
    }
}

// Each command's help is what "help COMMAND" prints, the parser takes no
// option its help leaves out (it would refuse to run), and every option the
// help names is in the man page.
TEST_F(CliUsage, HelpAndManPageAgree)
{
#ifndef ZENTAB_MAN_PATH
    GTEST_SKIP() << "no man page in this build";
#else
    std::ifstream manFile(ZENTAB_MAN_PATH, std::ios::binary);
    std::string man((std::istreambuf_iterator<char>(manFile)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(man.empty());
    for (std::size_t at = 0; (at = man.find("\\-", at)) != std::string::npos;)
        man.replace(at, 2, "-");
    const Outcome general = run({"help"});
    ASSERT_EQ(general.status, 0);
    std::istringstream lines(general.out);
    std::string line;
    int commands = 0;
    while (std::getline(lines, line) && line != "zentab help COMMAND (or zentab COMMAND --help) describes one command.") {
        if (line.rfind("  ", 0) != 0)
            continue;
        const std::string command = line.substr(2, line.find(' ', 2) - 2);
        SCOPED_TRACE(command);
        ++commands;
        EXPECT_NE(man.find(".B zentab " + line.substr(2) + "\n"), std::string::npos);
        const Outcome help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << help.err;
        EXPECT_EQ(run({"help", command}).out, help.out);
        std::istringstream words(help.out);
        for (std::string word; words >> word;) {
            if (word.size() < 2 || word[0] != '-' || word == "--help" ||
                !std::isalpha(static_cast<unsigned char>(word.back())))
                continue;
            EXPECT_NE(man.find(".B " + word), std::string::npos) << word;
        }
    }
    EXPECT_EQ(commands, 11);
#endif
}

TEST_F(CliUsage, BadCommandLinesExitTwoAndWriteNothing)
{
    const std::string file = write("m.bin", ModuleBuilder().build().bytes);
    const std::string out = path("out.bin");
    auto set = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), {"set", file, "-o", out});
        return extra;
    };
    const std::vector<std::vector<std::string>> cases{
        {},
        {"frobnicate", file},
        {"show"},
        {"show", file, file},
        {"show", "--bogus", file},
        {"fix", file},
        {"auto", file, "-o", out},
        {"capacity"},
        set({"--format", "7", "--row", "1", "--name", "X"}),
        set({"--format", "1", "--row", "0", "--name", "X"}),
        set({"--row", "1", "--name", "X"}),
        set({"--format", "1", "--name", "X"}),
        set({"--format", "1", "--row", "abc", "--name", "X"}),
        set({"--format", "1", "--row", "5", "--name", "X"}),  // the module has 4
        set({"--format", "1", "--row", "1", "--row", "2", "--name", "X"}),
        set({"--format", "1", "--row", "1"}),
        set({"--format", "1", "--row", "1", "--lba", "2T5"}),
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        SCOPED_TRACE(line);
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(fs::exists(out));
    }
}

// On Windows a path in any of its forms is a path, never a "/switch": the
// tool takes only "-" and "--" options on every system.
TEST_F(CliUsage, EveryWindowsPathFormIsAPath)
{
    if (kFileNamesAreBytes)
        GTEST_SKIP() << "Windows path forms";
    // Under the working folder, so that "/..." (the current drive's root) and
    // "..\\..." reach it too.
    const fs::path cwd = fs::current_path();
    const fs::path folder = cwd / fs::path(u8"zentab-paths \u041c\u043e\u0434\u0443\u043b\u0438");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::vector<std::uint8_t> module = ModuleBuilder().build().bytes;
    {
        // By its wide name: a narrow one would go through the ANSI code page.
        std::ofstream file(folder / fs::path(u8"\u043c.bin"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(module.data()), std::streamsize(module.size()));
    }
    auto slashes = [](std::string text, char from, char to) {
        std::replace(text.begin(), text.end(), from, to);
        return text;
    };
    const struct {
        const char* label;
        std::function<std::string(const fs::path&)> spell;
    } forms[] = {
        {"C:\\...", [](const fs::path& p) { return Argument(p); }},
        {"C:/...", [&](const fs::path& p) { return slashes(Argument(p), '\\', '/'); }},
        {"/...", [&](const fs::path& p) { return slashes(Argument(p.root_directory() / p.relative_path()), '\\', '/'); }},
        {"..\\...", [&](const fs::path& p) { return Argument(fs::path("..") / cwd.filename() / p.lexically_relative(cwd)); }},
        {"\\\\?\\C:\\...", [](const fs::path& p) { return "\\\\?\\" + Argument(p); }},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.label);
        const std::string in = form.spell(folder / fs::path(u8"\u043c.bin"));
        const std::string out = form.spell(folder / "out.bin");
        fs::remove(folder / "out.bin");
        const Outcome shown = run({"show", in});
        EXPECT_EQ(shown.status, 0) << in << ": " << shown.err;
        const Outcome fixed = run({"fix", in, "-o", out});
        EXPECT_EQ(fixed.status, 0) << out << ": " << fixed.err;
        EXPECT_TRUE(fs::exists(folder / "out.bin")) << out;
    }
    fs::remove_all(folder);
}

}  // namespace
