#include "module_builder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace zentab::testkit;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Outcome {
    int status = -1;  // exit status, or minus the signal that ended the tool
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint64_t LoadLE(const Bytes& bytes, std::size_t at, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

std::string Field(const Bytes& bytes, std::size_t at) { return std::string(bytes.begin() + at, bytes.begin() + at + 24); }

// A name as the editor writes it: blank-padded to 23, a zero byte last.
std::string NameField(std::string name)
{
    name.resize(23, ' ');
    return name + '\0';
}

bool ChecksumValid(const Bytes& bytes, bool royl) { return royl ? RoylWordSum(bytes) == 0 : LegacyByteSum(bytes) == 0; }

struct Span {
    std::size_t at;
    std::size_t length;
};

// Fails on the first byte that differs outside the spans an edit may change.
void ExpectOnlyChanged(const Bytes& before, const Bytes& after, const std::vector<Span>& allowed)
{
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        bool mayChange = false;
        for (const Span& s : allowed)
            mayChange = mayChange || (i >= s.at && i < s.at + s.length);
        if (!mayChange && before[i] != after[i]) {
            ADD_FAILURE() << "byte " << i << " changed from " << int{before[i]} << " to " << int{after[i]};
            return;
        }
    }
}

Span ChecksumSpan(bool royl) { return royl ? Span{12, 4} : Span{3, 1}; }

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zentab-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string write(const std::string& name, const Bytes& bytes)
    {
        WriteFileBytes(path(name), bytes);
        return path(name);
    }

    // Runs the tool with a deadline, so that a hang fails the test instead
    // of stalling the whole run.
    Outcome run(const std::vector<std::string>& args)
    {
        const std::string outPath = path(".stdout");
        const std::string errPath = path(".stderr");
        std::vector<char*> argv{const_cast<char*>(ZENTAB_CLI_PATH)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        Outcome result;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "zentab did not finish within 10 s";
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        result.out = ReadText(outPath);
        result.err = ReadText(errPath);
        return result;
    }

    std::string dir_;
};

class CliShow : public CliFixture {};
class CliEdit : public CliFixture {};
class CliHostile : public CliFixture {};
class CliUsage : public CliFixture {};

// --- show -----------------------------------------------------------------

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
        ModuleBuilder builder;
        builder.rows(c.rows).newLayout(c.isNew).entryCount(c.entries).name(2, 3, "Custom name");
        if (!c.royl)
            builder.legacy();
        if (c.badChecksum)
            builder.badChecksum();
        if (c.isNew)
            builder.value(1, 6, kAboveDouble).value(2, 6, INT64_MAX).value(3, 6, -488354832);
        const BuiltModule built = builder.build();
        const Outcome r = run({"show", "--json", write("m.bin", built.bytes)});
        ASSERT_EQ(r.status, 0) << r.err;
        const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();

        EXPECT_EQ(json.keys(), (QStringList{"checksum", "directory", "entry_count", "form", "formats", "layout",
                                            "module_id", "new_block_offset", "rows"}));
        EXPECT_EQ(json["form"].toString(), c.royl ? "ROYL" : "legacy");
        EXPECT_EQ(json["module_id"].toInteger(), 12);
        EXPECT_EQ(json["entry_count"].toInteger(), c.entries);
        EXPECT_EQ(json["layout"].toString(), c.isNew ? "NEW" : "STD");
        EXPECT_EQ(json["rows"].toInteger(), c.rows);
        EXPECT_EQ(json["new_block_offset"].toInteger(), built.newBlockOffset);
        const QJsonArray directory = json["directory"].toArray();
        ASSERT_EQ(directory.size(), 12);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(directory[i].toArray()[0].toInteger(), built.blockOffset[i]);
            EXPECT_EQ(directory[i].toArray()[1].toInteger(), c.rows * (i < 6 ? 24 : 4));
        }
        const QJsonObject checksum = json["checksum"].toObject();
        const std::uint64_t stored = c.royl ? LoadLE(built.bytes, 12, 4) : built.bytes[3];
        EXPECT_EQ(checksum["stored"].toInteger(), static_cast<qint64>(stored));
        EXPECT_EQ(checksum["computed"].toInteger(),
                  static_cast<qint64>((stored - (c.badChecksum ? 1 : 0)) & (c.royl ? 0xFFFFFFFFu : 0xFFu)));
        EXPECT_EQ(checksum["valid"].toBool(), !c.badChecksum);

        const QJsonArray formats = json["formats"].toArray();
        ASSERT_EQ(formats.size(), 6);
        const char* const formatNames[] = {"Main", "Alt 1", "Alt 2", "Alt 3", "Alt 4", "Alt 5"};
        for (int f = 1; f <= 6; ++f) {
            const QJsonObject format = formats[f - 1].toObject();
            EXPECT_EQ(format["name"].toString(), formatNames[f - 1]);
            const QJsonArray rows = format["rows"].toArray();
            ASSERT_EQ(rows.size(), std::min(c.rows, 11));
            for (int row = 1; row <= rows.size(); ++row) {
                const QJsonObject cell = rows[row - 1].toObject();
                EXPECT_EQ(cell["name"].toString().toStdString(),
                          row == 2 && f == 3 ? "Custom name" : ModuleBuilder::defaultName(row, f));
                const std::int64_t lba = !c.isNew || f != 6 || row > 3 ? builder.defaultValue(row, f)
                                         : row == 1                    ? kAboveDouble
                                         : row == 2                    ? INT64_MAX
                                                                       : -488354832;
                EXPECT_EQ(cell["lba"].toInteger(), lba);
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
    const BuiltModule built = ModuleBuilder().rows(12).value(1, 1, 3907029168).build();
    const Outcome r = run({"show", write("m.bin", built.bytes)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3907029168  2.0T"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(ModuleBuilder::defaultName(11, 6)), std::string::npos);
    EXPECT_EQ(r.out.find(ModuleBuilder::defaultName(12, 1)), std::string::npos);
    EXPECT_NE(r.out.find("Rows 12 to 12"), std::string::npos);
    EXPECT_NE(r.out.find("valid"), std::string::npos);
}

// --- fix, set, auto -----------------------------------------------------------

TEST_F(CliEdit, FixMakesTheChecksumValidAndChangesNothingElse)
{
    for (bool royl : {true, false}) {
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "royl=" << royl << " inPlace=" << inPlace);
            ModuleBuilder builder;
            builder.badChecksum().newLayout(!royl).tail(3).name(1, 1, "  padded  ");
            if (!royl)
                builder.legacy();
            const BuiltModule built = builder.build();
            const std::string in = write("m.bin", built.bytes);
            const std::string out = inPlace ? in : path("out.bin");
            const Outcome r = run({"fix", in, "-o", out});
            ASSERT_EQ(r.status, 0) << r.err;
            const Bytes saved = ReadFileBytes(out);
            EXPECT_TRUE(ChecksumValid(saved, royl));
            EXPECT_NE(saved, built.bytes);
            ExpectOnlyChanged(built.bytes, saved, {ChecksumSpan(royl)});
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
        ModuleBuilder builder;
        builder.newLayout(c.isNew);
        if (!c.royl)
            builder.legacy();
        const BuiltModule built = builder.build();
        std::vector<std::string> args{"set", write("m.bin", built.bytes), "--format", std::to_string(c.format),
                                      "--row", std::to_string(c.row), "-o", path("out.bin")};
        if (c.lba)
            args.insert(args.end(), {"--lba", c.lba});
        if (c.name)
            args.insert(args.end(), {"--name", c.name});
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const Bytes saved = ReadFileBytes(path("out.bin"));
        EXPECT_TRUE(ChecksumValid(saved, c.royl));
        const std::size_t nameAt = built.nameFieldAt(c.row, c.format);
        const std::size_t valueAt = c.isNew ? static_cast<std::size_t>(built.newValueAt(c.row, c.format, 4))
                                            : built.stdValueAt(c.row, c.format);
        const int width = c.isNew ? 8 : 4;
        if (c.lba) {
            EXPECT_EQ(LoadLE(saved, valueAt, width), static_cast<std::uint64_t>(c.expected));
        }
        if (c.name) {
            EXPECT_EQ(Field(saved, nameAt), std::strlen(c.name) == 24 ? c.name : NameField(c.name));
        }
        ExpectOnlyChanged(built.bytes, saved,
                          {ChecksumSpan(c.royl), {nameAt, 24}, {valueAt, static_cast<std::size_t>(width)}});
    }
}

TEST_F(CliEdit, AutoFillsAllSixFormatsFromHeadZero)
{
    // Head 0 of 488397168 sectors, divider 15, alignment 50: rows 1..4.
    const struct {
        std::int64_t lba[4];
        const char* number[4];
    } expected[6] = {
        {{488397168, 976773168, 1465149168, 1953525168}, {"2500", "5000", "7500", "10"}},
        {{390721968, 879097968, 1367473968, 1758174768}, {"2000", "4500", "7000", "9000"}},
        {{390721968, 781422768, 1269798768, 1660499568}, {"2000", "4000", "6500", "8500"}},
        {{390721968, 781422768, 1172123568, 1562824368}, {"2000", "4000", "6000", "8000"}},
        {{293046768, 683747568, 1074448368, 1367473968}, {"1500", "3500", "5500", "7000"}},
        {{293046768, 586072368, 976773168, 1269798768}, {"1500", "3000", "5000", "6500"}},
    };
    const struct {
        bool royl, isNew;
        int rows;
    } cases[] = {{true, false, 4}, {false, true, 4}, {true, true, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl=" << c.royl << " new=" << c.isNew << " rows=" << c.rows);
        ModuleBuilder builder;
        builder.rows(c.rows).newLayout(c.isNew);
        if (!c.royl)
            builder.legacy();
        const BuiltModule built = builder.build();
        const Outcome r = run({"auto", write("m.bin", built.bytes), "--head0", "488397168", "-o", path("out.bin")});
        ASSERT_EQ(r.status, 0) << r.err;
        const Bytes saved = ReadFileBytes(path("out.bin"));
        EXPECT_TRUE(ChecksumValid(saved, c.royl));
        const int width = c.isNew ? 8 : 4;
        auto valueAt = [&](int row, int f) {
            return c.isNew ? static_cast<std::size_t>(built.newValueAt(row, f, c.rows)) : built.stdValueAt(row, f);
        };
        std::vector<Span> allowed{ChecksumSpan(c.royl)};
        for (int f = 1; f <= 6; ++f) {
            for (int row = 1; row <= std::min(c.rows, 11); ++row) {
                allowed.push_back({built.nameFieldAt(row, f), 24});
                allowed.push_back({valueAt(row, f), static_cast<std::size_t>(width)});
            }
            for (int row = 1; row <= 4; ++row) {
                const auto& e = expected[f - 1];
                EXPECT_EQ(LoadLE(saved, valueAt(row, f), width), static_cast<std::uint64_t>(e.lba[row - 1]))
                    << "format " << f << " row " << row;
                EXPECT_EQ(Field(saved, built.nameFieldAt(row, f)),
                          NameField(std::string("WDC WD") + e.number[row - 1] + "EARS-00MVWB0"));
            }
        }
        // Rows past the table's 11 keep their bytes.
        ExpectOnlyChanged(built.bytes, saved, allowed);
    }
}

TEST_F(CliEdit, RefusedEditsWriteNothing)
{
    const BuiltModule plain = ModuleBuilder().build();
    const ModuleBuilder four;
    const struct {
        std::vector<std::string> args;  // after FILE; -o OUT follows
        ModuleBuilder module;
        const char* message;
    } cases[] = {
        {{"auto", "--head0", "0"}, four, "Enter LBA Size for Head 0"},
        {{"auto", "--head0", "250G", "--divider", "0"}, four, "Enter LBA Size for Head 0"},
        {{"auto", "--head0", "488397168", "--divider", "0"}, four, "Division by zero"},
        {{"auto", "--head0", "488397168", "--divider", ""}, four, "Division by zero"},
        {{"auto", "--head0", "488397168", "--align", "0"}, four, "Division by zero"},
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + c.args[2] + " " + c.args.back());
        std::vector<std::string> args{c.args[0], write("m.bin", c.module.build().bytes)};
        args.insert(args.end(), c.args.begin() + 1, c.args.end());
        args.insert(args.end(), {"-o", path("out.bin")});
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
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
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("3907029168"), std::string::npos);
    for (const char* text : {"\"2.5T\"", "\"2T5\"", "\"99999999999999999T\"", "\"1e3\""})
        EXPECT_NE(bad.err.find(text), std::string::npos) << text;
}

// --- damaged and hostile input ------------------------------------------

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

TEST_F(CliHostile, DamagedModulesAreRefusedAndNothingIsWritten)
{
    const BuiltModule royl = ModuleBuilder().build();
    const BuiltModule many = ModuleBuilder().entryCount(255).build();
    enum Kind { File, Directory, Missing };
    const struct {
        const char* label;
        Kind kind;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty file", File, {}, "Stream read error"},
        {"ROYL header cut", File, Cut(royl.bytes, 40), "Stream read error"},
        {"legacy header cut", File, Cut(ModuleBuilder().legacy().build().bytes, 20), "Stream read error"},
        {"blocks cut", File, Cut(royl.bytes, royl.headerSize + 50), "Stream read error"},
        {"255 entries cut", File, Cut(many.bytes, 1000), "Stream read error"},
        {"wrong id", File, ModuleBuilder().moduleId(13).build().bytes, "not a model-list module"},
        {"id 12 in the low byte only", File, ModuleBuilder().moduleId(0x010C).build().bytes, "not a model-list"},
        {"legacy wrong id", File, ModuleBuilder().legacy().moduleId(11).build().bytes, "not a model-list"},
        {"no entries", File, ModuleBuilder().entryCount(0).countHighBytes(0xFFFFFF).build().bytes,
         "not a model-list"},
        {"five entries", File, ModuleBuilder().entryCount(5).build().bytes, "no entry 5"},
        {"value block past end", File, ModuleBuilder().entry(6, 0xFFFFFF00, 16).build().bytes, "Stream read error"},
        {"name block past end", File, ModuleBuilder().entry(3, 0x7FFFFFF0, 96).build().bytes, "Stream read error"},
        {"name block over header", File, ModuleBuilder().entry(2, 16, 96).build().bytes, "inside the module header"},
        {"NEW without marker", File, ModuleBuilder().newLayout().withMarker(false).build().bytes,
         "Stream read error"},
        {"rows beyond blocks", File, ModuleBuilder().entry(0, royl.blockOffset[0], 0xFFFFFFF0).tail(400).build().bytes,
         "too few"},
        {"directory as FILE", Directory, {}, "Cannot open file"},
        {"missing file", Missing, {}, "Cannot open file"},
    };
    const Bytes keep{'k', 'e', 'e', 'p'};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string in = c.kind == File ? write("m.bin", c.bytes) : c.kind == Directory ? dir_ : path("none");
        const std::string existing = write("existing.bin", keep);
        const std::vector<std::vector<std::string>> commands{
            {"show", in},
            {"show", "--json", in},
            {"fix", in, "-o", existing},
            {"set", in, "--format", "1", "--row", "1", "--lba", "1", "-o", path("new.bin")},
            {"auto", in, "--head0", "488397168", "-o", path("new.bin")},
        };
        for (const auto& command : commands) {
            const Outcome r = run(command);
            EXPECT_EQ(r.status, 1) << command[0];
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
            EXPECT_TRUE(r.out.empty()) << r.out;
        }
        EXPECT_EQ(ReadFileBytes(existing), keep);
        EXPECT_FALSE(fs::exists(path("new.bin")));
    }
}

TEST_F(CliHostile, FailedWriteLeavesNoFile)
{
    const std::string in = write("m.bin", ModuleBuilder().badChecksum().build().bytes);
    for (const std::string& out : {dir_, path("no-such-dir/out.bin")}) {
        const Outcome r = run({"fix", in, "-o", out});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Cannot create file"), std::string::npos) << r.err;
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir_))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".stderr", ".stdout", "m.bin"}));
}

// --- usage ------------------------------------------------------------------

TEST_F(CliUsage, BadCommandLinesExitTwoAndWriteNothing)
{
    const std::string file = write("m.bin", ModuleBuilder().build().bytes);
    const std::string out = path("out.bin");
    auto set = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"set", file, "-o", out};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const std::vector<std::vector<std::string>> cases{
        {},
        {"frobnicate", file},
        {"show"},
        {"show", file, file},
        {"show", "--bogus", file},
        {"fix", file},
        {"fix", "-o", out},
        {"auto", file, "-o", out},
        {"auto", file, "--head0", "488397168"},
        {"capacity"},
        set({"--format", "7", "--row", "1", "--name", "X"}),
        set({"--format", "0", "--row", "1", "--name", "X"}),
        set({"--row", "1", "--name", "X"}),
        set({"--format", "1", "--name", "X"}),
        set({"--format", "1", "--row", "0", "--name", "X"}),
        set({"--format", "1", "--row", "abc", "--name", "X"}),
        set({"--format", "1", "--row", "5", "--name", "X"}),
        set({"--format", "1", "--row", "1", "--row", "2", "--name", "X"}),
        set({"--format", "1", "--row", "1"}),
        set({"--format", "1", "--row", "1", "--lba", "2.5T"}),
        set({"--format", "1", "--row", "1", "--lba", "2T5"}),
        set({"--format", "1", "--row", "1", "--lba", "99999999999999999T"}),
        set({"--format", "1", "--row", "1", "--name", "twenty-five characters ab"}),
        set({"--format", "1", "--row", "1", "--name", "caf\xc3\xa9"}),
        set({"--format", "1", "--row", "1", "--name", "tab\there"}),
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

}  // namespace
