// Where zentab writes: standard output for "-o -", file names of any bytes,
// and the command-line spellings scripts already use.

#include "cli_fixture.h"

using namespace zentab::testkit;

namespace {

class CliOutput : public CliFixture {};
class CliNames : public CliFixture {};
class CliSpelling : public CliFixture {};

// The commands that write, each with what follows FILE before -o OUT.
const std::vector<std::vector<std::string>> kWritingCommands{
    {"fix"},
    {"set", "--format", "2", "--row", "3", "--lba", "2T", "--name", "Piped"},
    {"auto", "--head0", "488397168"},
};

TEST_F(CliOutput, DashSendsTheSameBytesAsAFileAndCreatesNoFile)
{
    const std::string in = write("m.bin", ModuleBuilder().newLayout().badChecksum().build().bytes);
    // "-" would appear in the folder the tool runs in.
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    for (const auto& command : kWritingCommands) {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> args = command;
        args.insert(args.begin() + 1, in);
        args.insert(args.end(), {"-o", path("out.bin")});
        const Outcome toFile = run(args);
        ASSERT_EQ(toFile.status, 0) << toFile.err;
        args.back() = "-";
        const Outcome piped = run(args);
        EXPECT_EQ(piped.status, 0) << piped.err;
        const Bytes written = ReadFileBytes(path("out.bin"));
        EXPECT_EQ(Bytes(piped.out.begin(), piped.out.end()), written);
        // The report moves to standard error, naming where the module went.
        EXPECT_NE(piped.err.find("module written to standard output"), std::string::npos) << piped.err;
        EXPECT_EQ(FilesIn(dir_), (std::vector<std::string>{"m.bin", "out.bin"}));
        fs::remove(path("out.bin"));
    }
    fs::current_path(before);
}

// A reader that went away ends the tool quietly with 141, as cat is ended;
// any other failed write is an error that names standard output.
TEST_F(CliOutput, FailedWriteToStandardOutput)
{
    const std::string in = write("m.bin", ModuleBuilder().build().bytes);
    const bool haveFull = fs::exists("/dev/full");
    const struct {
        const char* label;
        StandardOutput output;
        std::vector<std::string> args;
    } cases[] = {
        {"closed pipe, module", StandardOutput::closedPipe(), {"fix", in, "-o", "-"}},
        {"closed pipe, report", StandardOutput::closedPipe(), {"show", "--json", in}},
        {"full device, module", StandardOutput::toFile("/dev/full"), {"auto", in, "--head0", "488397168", "-o", "-"}},
        {"full device, report", StandardOutput::toFile("/dev/full"), {"show", in}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.output.kind == StandardOutput::File && !haveFull)
            continue;
        const Outcome r = run(c.args, c.output);
        if (c.output.kind == StandardOutput::ClosedPipe) {
            EXPECT_EQ(r.status, 141);
            EXPECT_EQ(r.err, "");
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Cannot write to standard output"), std::string::npos) << r.err;
    }
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"m.bin"});
}

TEST_F(CliNames, FileNamesThatAreNotUtf8AreKeptByteForByte)
{
    if (!kFileNamesAreBytes)
        GTEST_SKIP() << "file names are UTF-16 here";
    const std::string in = write("\xff.bin", ModuleBuilder().badChecksum().build().bytes);
    const Bytes fixed = ModuleBuilder().build().bytes;
    for (const auto& command : kWritingCommands) {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> args = command;
        args.insert(args.begin() + 1, in);
        args.insert(args.end(), {"-o", path("o\xfe.bin")});
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("module written to " + path("o\xfe.bin") + "\n"), std::string::npos) << r.out;
        EXPECT_EQ(FilesIn(dir_), (std::vector<std::string>{"o\xfe.bin", "\xff.bin"}));
        if (command[0] == "fix") {
            EXPECT_EQ(ReadFileBytes(path("o\xfe.bin")), fixed);
        }
        fs::remove(path("o\xfe.bin"));
    }
    const Outcome shown = run({"show", in});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out.rfind("Module    " + in + "\n", 0), 0u) << shown.out;
    const Outcome missing = run({"show", path("\xfe\xfd.bin")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot open file \"" + path("\xfe\xfd.bin") + "\""), std::string::npos)
        << missing.err;
}

// The spellings the tool has always accepted, and its messages for the rest.
TEST_F(CliSpelling, OptionFormsAndMessagesStayAsTheyWere)
{
    const std::string in = write("m.bin", ModuleBuilder().build().bytes);
    const struct {
        std::vector<std::string> args;
        int status;
        const char* text;  // in standard output for status 0, standard error otherwise
        const char* created;
    } cases[] = {
        {{"fix", in, "-o=a.bin"}, 0, "module written to a.bin", "a.bin"},
        {{"fix", in, "-ob.bin"}, 0, "module written to b.bin", "b.bin"},
        {{"fix", in, "--output=c.bin"}, 0, "module written to c.bin", "c.bin"},
        {{"fix", "--", in, "-o", "d.bin"}, 2, "one FILE only; unexpected \"-o\"", nullptr},
        {{"set", in, "--format=1", "--row=1", "--name=[a,b]", "-o", "e.bin"}, 0, "Main row 1: [a,b], ", "e.bin"},
        {{"capacity", "--", "-5"}, 0, "-5 ", nullptr},
        {{"capacity", "-5"}, 0, "-5 ", nullptr},  // a number, as after "--"
        {{"show", "--bogus=1", "-hq", in}, 2, "zentab: Unknown options: bogus, q.\n", nullptr},
        {{"show", "--json=yes", in}, 2, "zentab: Unexpected value after '--json'.\n", nullptr},
        {{"fix", in, "--output"}, 2, "zentab: Missing value after '--output'.\n", nullptr},
        {{"fix", in, "-o", "x", "--output", "y"}, 2, "zentab: -o (--output) is given more than once\n", nullptr},
        {{"show", "--help", in}, 0, "Usage: zentab show [--json] FILE\n", nullptr},
        {{"--version"}, 0, "zentab " ZENTAB_VERSION "\n", nullptr},
        {{"version"}, 0, "zentab " ZENTAB_VERSION "\n", nullptr},
    };
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.text), std::string::npos) << r.out << r.err;
        std::vector<std::string> expected{"m.bin"};
        if (c.created)
            expected.push_back(c.created);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FilesIn(dir_), expected);
        if (c.created)
            fs::remove(dir_ / c.created);
    }
    fs::current_path(before);
}

// The spellings the man page shows, each of which must keep working.
TEST_F(CliSpelling, DocumentedFormsWork)
{
    const std::string in = write("m.bin", ModuleBuilder().newLayout().build().bytes);
    const struct {
        std::vector<std::string> args;
        const char* out;  // in standard output; every case exits 0
    } cases[] = {
        {{"fix", in, "-o", "a.bin"}, "module written to a.bin"},
        {{"fix", "-o", "b.bin", in}, "module written to b.bin"},
        {{"set", in, "--format", "2", "--row", "3", "--name", "X", "--lba", "500G", "-o", "c.bin"},
         "Alt 1 row 3: X, 976773168"},
        {{"auto", in, "--head0", "488397168", "--divider", "10", "--align", "100", "--template",
          "WDC WD10EARS-00MVWB0", "-o", "d.bin"},
         "computed from head 0 = 488397168"},
        {{"show", "--json", in}, "\"layout\""},
        {{"check", "--json", "--recursive", "."}, "\"valid\":true"},
        {{"export", "--csv", in}, "format,row,name,lba"},
        {{"export", "--json", in}, "\"cells\""},
        {{"capacity", "500G", "2T"}, "976773168"},
        {{"help", "set"}, "Usage: zentab set"},
        {{"set", "--help"}, "Usage: zentab set"},
    };
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    }
    // Standard output: the module alone, its report on standard error.
    const Outcome piped = run({"fix", in, "-o", "-"});
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out.size(), fs::file_size(in));
    fs::current_path(before);
}

}  // namespace
