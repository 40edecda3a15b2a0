// check over files and folders of modules of any id and either form, fix of
// any module, help for each command, and every refusal naming its file.

#include "cli_fixture.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <random>

using namespace zentab::testkit;
using nlohmann::json;

namespace {

class CliCheck : public CliFixture {};
class CliMessages : public CliFixture {};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

TEST_F(CliCheck, AnyIdEitherFormValidThenOneByteWrongThenFixed)
{
    const struct {
        bool royl;
        std::uint16_t id;
        bool isNew;
        int rows;
        std::size_t tail;  // odd sizes: a ROYL sum leaves the last size % 4 bytes out
    } cases[] = {
        {true, 12, false, 4, 0},     {true, 0x0A, false, 10, 1}, {true, 0x0B, true, 11, 3},
        {true, 0x0D, true, 4, 2},    {true, 0x20B, false, 4, 3}, {false, 12, true, 10, 1},
        {false, 0x0A, false, 4, 3},  {false, 0x0D, true, 11, 0}, {false, 0xFF, false, 1, 5},
    };
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl=" << c.royl << " id=" << c.id << " tail=" << c.tail);
        ModuleBuilder builder;
        if (!c.royl)
            builder.legacy();
        const auto built = builder.moduleId(c.id).newLayout(c.isNew).rows(c.rows).tail(c.tail).build();
        const Bytes good = built.bytes;
        const std::string file = write("good.bin", good);
        const std::string form = std::string(c.royl ? "ROYL" : "legacy") + " module " + Hex(c.id, c.royl ? 4 : 2);
        const Outcome valid = run({"check", file});
        EXPECT_EQ(valid.status, 0) << valid.err;
        EXPECT_EQ(valid.out, file + ": " + form + ", " + std::to_string(good.size()) + " bytes, checksum OK\n");

        // One byte the sum covers, past the header: a damaged directory can
        // point outside the file, and fix then rightly refuses to read it.
        const std::size_t covered = c.royl ? good.size() - good.size() % 4 : good.size();
        const std::size_t at = std::uniform_int_distribution<std::size_t>(built.headerSize, covered - 1)(random);
        Bytes bad = good;
        bad[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
        const std::string damaged = write("bad.bin", bad);
        const Outcome wrong = run({"check", damaged});
        EXPECT_EQ(wrong.status, 1);
        EXPECT_NE(wrong.out.find(damaged + ": " + form + ", " + std::to_string(bad.size()) +
                                 " bytes, checksum WRONG (stored "),
                  std::string::npos)
            << wrong.out;

        const Outcome fixed = run({"fix", damaged, "-o", path("fixed.bin")});
        ASSERT_EQ(fixed.status, 0) << fixed.err;
        const Bytes after = ReadFileBytes(path("fixed.bin"));
        ASSERT_EQ(after.size(), bad.size());
        for (std::size_t i = 0; i < after.size(); ++i) {
            const bool checksumField = c.royl ? i >= 12 && i < 16 : i == 3;
            if (!checksumField) {
                ASSERT_EQ(after[i], bad[i]) << "byte " << i;
            }
        }
        EXPECT_EQ(c.royl ? RoylWordSum(after) : LegacyByteSum(after), 0u);
        EXPECT_EQ(run({"check", path("fixed.bin")}).status, 0);
    }
}

TEST_F(CliCheck, FilesTooShortForTheirFormAreErrors)
{
    const Bytes royl = ModuleBuilder().build().bytes;
    const Bytes legacy = ModuleBuilder().legacy().build().bytes;
    const struct {
        Bytes bytes;
        const char* form;  // null where even the form is unknown
    } cases[] = {
        {{}, nullptr},
        {Bytes(royl.begin(), royl.begin() + 3), nullptr},
        {Bytes(royl.begin(), royl.begin() + 15), "ROYL"},
        {Bytes(legacy.begin(), legacy.begin() + 4), "legacy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        const std::string file = write("short.bin", c.bytes);
        const Outcome text = run({"check", file});
        EXPECT_EQ(text.status, 1);
        EXPECT_EQ(text.out.rfind(file + ": error: Stream read error (the module ends at byte " +
                                     std::to_string(c.bytes.size()) + " while reading the module header at ",
                                 0),
                  0u)
            << text.out;
        const Outcome fix = run({"fix", file, "-o", path("out.bin")});
        EXPECT_EQ(fix.status, 1);
        EXPECT_NE(fix.err.find(file + ": Stream read error"), std::string::npos) << fix.err;
        EXPECT_FALSE(fs::exists(path("out.bin")));

        const json line = json::parse(run({"check", "--json", file}).out);
        EXPECT_EQ(line["error"].get<std::string>().rfind("Stream read error (the module ends at byte ", 0), 0u);
        EXPECT_EQ(line["size"].get<std::size_t>(), c.bytes.size());
        EXPECT_EQ(line["form"], c.form ? json(c.form) : json(nullptr));
        EXPECT_TRUE(line["module_id"].is_null());
        EXPECT_TRUE(line["checksum"].is_null());
    }
}

TEST_F(CliCheck, FoldersInNameOrderRecursiveOnlyWhenAsked)
{
    const Bytes good = ModuleBuilder().moduleId(0x0B).build().bytes;
    fs::create_directories(dir_ / "reads" / "m" / "deeper");
    fs::create_directories(dir_ / "reads" / "empty");
    write("reads/z.bin", good);
    write("reads/a.bin", ModuleBuilder().legacy().badChecksum().build().bytes);
    write("reads/B.bin", good);
    write("reads/m/c.bin", good);
    write("reads/m/deeper/d.bin", good);
    const std::string reads = path("reads");
    const std::string sep = "/";  // on Windows too, so that the lines read alike

    const Outcome flat = run({"check", reads});
    EXPECT_EQ(flat.status, 1);
    std::vector<std::string> files;
    for (const std::string& line : Lines(flat.out))
        files.push_back(line.substr(0, line.find(": ")));
    EXPECT_EQ(files, (std::vector<std::string>{reads + sep + "B.bin", reads + sep + "a.bin", reads + sep + "z.bin"}));

    const Outcome deep = run({"check", "--json", "--recursive", reads, path("reads/z.bin")});
    EXPECT_EQ(deep.status, 1);
    files.clear();
    std::vector<bool> valid;
    for (const std::string& line : Lines(deep.out)) {
        const json object = json::parse(line);
        std::vector<std::string> keys;
        for (const auto& item : object.items())
            keys.push_back(item.key());
        EXPECT_EQ(keys, (std::vector<std::string>{"checksum", "error", "file", "form", "module_id", "size"}));
        EXPECT_TRUE(object["error"].is_null());
        files.push_back(object["file"]);
        valid.push_back(object["checksum"]["valid"]);
    }
    const std::string m = reads + sep + "m" + sep;
    EXPECT_EQ(files, (std::vector<std::string>{reads + sep + "B.bin", reads + sep + "a.bin", m + "c.bin",
                                               m + "deeper" + sep + "d.bin", reads + sep + "z.bin",
                                               path("reads/z.bin")}));
    EXPECT_EQ(valid, (std::vector<bool>{true, false, true, true, true, true}));

    // Valid files only: status 0.
    EXPECT_EQ(run({"check", "--recursive", path("reads/m")}).status, 0);
    // A folder with nothing to check is no success.
    const Outcome none = run({"check", path("reads/empty")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.empty());
    EXPECT_NE(none.err.find("no files to check"), std::string::npos) << none.err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"check"}, {"check", "--bogus", reads}, {"check", "--json=1", reads}})
        EXPECT_EQ(run(args).status, 2);
}

TEST_F(CliCheck, JsonLinesStayJsonForNamesThatAreNotUtf8)
{
    if (!kFileNamesAreBytes)
        GTEST_SKIP() << "file names are UTF-16 here";
    const std::string file = write("\xff\xfe.bin", ModuleBuilder().build().bytes);
    const Outcome r = run({"check", "--json", file});
    EXPECT_EQ(r.status, 0) << r.err;
    const json object = json::parse(r.out);
    EXPECT_NE(object["file"].get<std::string>().find("\xef\xbf\xbd"), std::string::npos);  // U+FFFD
    EXPECT_EQ(object["checksum"]["valid"], true);
}

// Each case fails because of one file; the message must say which.
TEST_F(CliMessages, EveryRefusalNamesItsFile)
{
    const std::string wrongId = write("wrong-id.bin", ModuleBuilder().moduleId(13).build().bytes);
    const std::string four = write("four-rows.bin", ModuleBuilder().build().bytes);
    Bytes cutBytes = ModuleBuilder().build().bytes;
    cutBytes.resize(60);
    const std::string cut = write("cut.bin", cutBytes);
    const std::string table = write("table.csv", {'x', '\r', '\n'});
    const std::string out = path("out.bin");
    const struct {
        std::vector<std::string> args;
        std::string file;
        int status;
    } cases[] = {
        {{"show", wrongId}, wrongId, 1},
        {{"show", "--json", cut}, cut, 1},
        {{"export", wrongId}, wrongId, 1},
        {{"set", four, "--format", "1", "--row", "5", "--lba", "1", "-o", out}, four, 2},
        {{"set", four, "--format", "1", "--row", "1", "--lba", "3T", "-o", out}, four, 1},
        {{"set", four, "--format", "1", "--row", "1", "--name", "caf\xc3\xa9", "-o", out}, four, 1},
        {{"fix", cut, "-o", out}, cut, 1},
        {{"import", four, table, "-o", out}, table, 1},
        {{"import", wrongId, table, "-o", out}, wrongId, 1},
        {{"diff", four, wrongId}, wrongId, 2},
        {{"diff", cut, four}, cut, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.file);
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.err.rfind("zentab: " + c.file + ": ", 0), 0u) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(CliMessages, HelpCommandPrintsThatCommandsHelp)
{
    for (const char* command : {"show", "check", "fix", "set", "auto", "diff", "export", "import", "capacity"}) {
        SCOPED_TRACE(command);
        const Outcome help = run({"help", command});
        EXPECT_EQ(help.status, 0) << help.err;
        EXPECT_EQ(help.out.rfind(std::string("Usage: zentab ") + command + " ", 0), 0u) << help.out;
        EXPECT_EQ(run({command, "--help"}).out, help.out);
    }
    EXPECT_EQ(run({"help", "frobnicate"}).status, 2);
    for (const char* version : {"version", "--version"}) {
        const Outcome r = run({version});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "zentab " ZENTAB_VERSION "\n");
    }
}

}  // namespace
