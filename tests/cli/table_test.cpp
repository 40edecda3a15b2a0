// export, import and diff against modules synthesised in a temp dir.

#include "cli_fixture.h"

#include <nlohmann/json.hpp>

using namespace zentab::testkit;
using nlohmann::json;

namespace {

class CliTable : public CliFixture {};
class CliDiff : public CliFixture {};

std::string FormatText(int format) { return format == 1 ? "Main" : "Alt " + std::to_string(format - 1); }

ModuleBuilder Form(bool royl, bool isNew, int rows)
{
    ModuleBuilder builder;
    if (!royl)
        builder.legacy();
    return builder.newLayout(isNew).rows(rows);
}

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST_F(CliTable, ExportWritesEveryCellAsCsvAndJson)
{
    const struct {
        bool royl, isNew;
        int rows;
    } cases[] = {{true, false, 4}, {false, true, 10}, {true, true, 11}, {false, false, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl=" << c.royl << " new=" << c.isNew << " rows=" << c.rows);
        const ModuleBuilder builder = Form(c.royl, c.isNew, c.rows).name(1, 2, "Q, \"x\"").name(2, 1, "");
        const std::string file = write("m.bin", builder.build().bytes);
        const int rows = std::min(c.rows, 11);
        auto name = [&](int r, int f) {
            return f == 2 && r == 1 ? std::string("Q, \"x\"") : f == 1 && r == 2 ? "" : ModuleBuilder::defaultName(r, f);
        };

        std::string csv = "format,row,name,lba\r\n";
        for (int f = 1; f <= 6; ++f)
            for (int r = 1; r <= rows; ++r)
                csv += FormatText(f) + "," + std::to_string(r) + "," +
                       (f == 2 && r == 1 ? std::string("\"Q, \"\"x\"\"\"") : name(r, f)) + "," +
                       std::to_string(builder.defaultValue(r, f)) + "\r\n";
        const Outcome asCsv = run({"export", file});
        EXPECT_EQ(asCsv.status, 0) << asCsv.err;
        EXPECT_EQ(asCsv.out, csv);
        EXPECT_EQ(run({"export", "--csv", file}).out, csv);
        // Rows past the table are named, not silently dropped.
        EXPECT_EQ(asCsv.err.find("rows 12 to 12") != std::string::npos, c.rows == 12) << asCsv.err;

        const Outcome asJson = run({"export", "--json", file});
        EXPECT_EQ(asJson.status, 0) << asJson.err;
        const json cells = json::parse(asJson.out).at("cells");
        ASSERT_EQ(cells.size(), static_cast<std::size_t>(6 * rows));
        for (int f = 1, i = 0; f <= 6; ++f) {
            for (int r = 1; r <= rows; ++r, ++i) {
                EXPECT_EQ(cells[i], (json{{"format", FormatText(f)}, {"row", r}, {"name", name(r, f)},
                                          {"lba", builder.defaultValue(r, f)}}));
            }
        }
    }
    EXPECT_EQ(run({"export", "--csv", "--json", path("m.bin")}).status, 2);
}

// An unchanged table gives what a loaded-and-saved module is: names padded
// as the editor pads them, and a valid checksum.
TEST_F(CliTable, UnchangedTableGivesTheSavedModule)
{
    const struct {
        bool royl, isNew;
        int rows;
    } cases[] = {{true, false, 4}, {false, true, 10}, {false, false, 11}, {true, true, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl=" << c.royl << " new=" << c.isNew << " rows=" << c.rows);
        const std::string in =
            write("m.bin", Form(c.royl, c.isNew, c.rows).rawName(1, 1, "SHORT").tail(3).badChecksum().build().bytes);
        const Bytes saved = Form(c.royl, c.isNew, c.rows).name(1, 1, "SHORT").tail(3).build().bytes;
        ASSERT_EQ(run({"set", in, "--format", "1", "--row", "1", "--name", "SHORT", "-o", path("set.bin")}).status, 0);
        ASSERT_EQ(run({"fix", path("set.bin"), "-o", path("fixed.bin")}).status, 0);
        EXPECT_EQ(ReadFileBytes(path("fixed.bin")), saved);
        for (const char* format : {"--csv", "--json"}) {
            SCOPED_TRACE(format);
            const Outcome table = run({"export", format, in});
            ASSERT_EQ(table.status, 0) << table.err;
            const Outcome r = run({"import", in, write("table", Of(table.out)), "-o", path("out.bin")});
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(ReadFileBytes(path("out.bin")), saved);
        }
    }
}

TEST_F(CliTable, ImportSetsTheListedCells)
{
    // Line ends as different spreadsheets save them: LF, CR alone, CR LF.
    const std::string csv = "format,row,name,lba\nAlt 2,3,\"Q, \"\"x\"\"\",500G\rMain,1,,2T\r\nAlt 5,4,\"Two\r\nlines\",7\r\n";
    const std::string badName = write("m.bin", Form(true, false, 4).build().bytes);
    const Outcome refused = run({"import", badName, write("t.csv", Of(csv)), "-o", path("out.bin")});
    EXPECT_EQ(refused.status, 1);  // a line break is no name
    EXPECT_NE(refused.err.find(": Edit refused: Alt 5 row 4: "), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("t.csv, line 4). Nothing was written.\n"), std::string::npos) << refused.err;

    const std::string good = csv.substr(0, csv.rfind("Alt 5"));
    const Outcome std = run({"import", badName, write("t.csv", Of(good)), "-o", path("out.bin")});
    ASSERT_EQ(std.status, 0) << std.err;
    EXPECT_EQ(ReadFileBytes(path("out.bin")),
              Form(true, false, 4).name(3, 3, "Q, \"x\"").value(3, 3, 976773168).name(1, 1, "").value(1, 1, 3907029168)
                  .build().bytes);

    // A JSON cell may leave out the name or the LBA.
    const json table{{"cells",
                      {{{"format", "Alt 5"}, {"row", 10}, {"lba", "2T"}},
                       {{"format", "Main"}, {"row", 2}, {"name", "Only name"}},
                       {{"format", "Alt 1"}, {"row", 1}, {"lba", 9007199254740993}}}}};
    const std::string in = write("new.bin", Form(false, true, 10).build().bytes);
    const Outcome r = run({"import", in, write("t.json", Of(table.dump())), "-o", path("out.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(path("out.bin")), Form(false, true, 10)
                                                  .value(10, 6, 3907029168)
                                                  .name(2, 1, "Only name")
                                                  .value(1, 2, 9007199254740993)
                                                  .build()
                                                  .bytes);
}

TEST_F(CliTable, RefusedTablesWriteNothing)
{
    const std::string header = "format,row,name,lba\r\n";
    const std::string fine = "Main,1,Fine,1\r\n";  // a good line first: nothing of it may be written either
    const std::string four = write("four.bin", Form(true, false, 4).build().bytes);
    const std::string ten = write("ten.bin", Form(false, true, 10).build().bytes);
    const std::string twelve = write("twelve.bin", Form(true, true, 12).build().bytes);
    const std::string one = write("one.bin", Form(true, false, 1).build().bytes);
    const struct {
        std::string module;
        std::string table;
        const char* message;
    } cases[] = {
        {four, header + fine + "Main,5,X,1\r\n", "Main row 5: the module has 4 rows per format (TABLE, line 3)"},
        {ten, header + "Alt 5,11,X,1\r\n", "Alt 5 row 11: the module has 10 rows"},
        {twelve, R"({"cells": [{"format": "Main", "row": 12, "lba": 1}]})", "Main row 12: the module has 11 rows per format (TABLE, cell 1)"},
        {four, header + fine + "Alt 6,1,X,1\r\n", "\"Alt 6\" is not a Format"},
        {four, header + "main,1,X,1\r\n", "\"main\" is not a Format"},
        {four, header + fine + "Main,2,X\r\n", "4 fields (format,row,name,lba) expected, 3 found"},
        {four, header + "Main,2,\"X,1\r\n", "line 2: a quoted field is not closed"},
        {four, header + "Main,2,\"X\"Y,1\r\n", "text follows a closing quote"},
        {four, header + "Main,2,X\"Y,1\r\n", "a quote inside an unquoted field"},
        {four, fine, "line 1: the first line must be the header"},
        {four, header + "Main,x,X,1\r\n", "the row \"x\" is not a number"},
        {four, header + "Main,0,X,1\r\n", "the row \"0\" is not a number from 1 up"},
        {four, header + "Main,1,X,2T5\r\n", "the LBA \"2T5\" is not a number"},
        {four, header + "Main,1,X,3T\r\n", "does not fit the 32-bit values"},
        {four, header + "Main,1,twenty-five characters ab,1\r\n", "the field holds 24"},
        {four, header + "Main,1,caf\xe9,1\r\n", "outside printable ASCII"},
        {four, header + fine + "Main,1,Again,2\r\n", "line 3: Main row 1 is already set on line 2"},
        {ten, R"({"cells": [{"format": "Main", "row": 1, "lab": 1}]})", "unknown key \"lab\""},
        {ten, R"({"cells": [{"format": "Main", "row": 1, "lba": 1.5}]})", "\"lba\" must be a whole number"},
        {ten, R"({"cells": [{"format": "Main", "row": 1, "lba": 18446744073709551615}]})", "does not fit 64 bits"},
        {ten, R"({"cells": [{"format": "Main", "row": 1, "name": "caf\u00e9"}]})", "outside printable ASCII"},
        {ten, R"({"cells": [{"format": "Main", "row": 1, "name": "5 \u20ac"}]})", "no 8-bit name field can hold"},
        {ten, R"({"cells": [{"format": 1, "row": 1}]})", "\"format\" must be a Format name"},
        {ten, R"({"cells": [{"format": "Main", "row": "1"}]})", "\"row\" must be a whole number"},
        {ten, R"({"rows": []})", "one array, \"cells\""},
        {ten, R"({"cells": [)", "not readable"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string table = write("table", Of(c.table));
        const Outcome r = run({"import", c.module, table, "-o", path("out.bin")});
        EXPECT_EQ(r.status, 1);
        // A cell the module cannot take is an edit refused; a table that
        // cannot be read names the table.
        std::string message = c.message;
        if (const std::size_t at = message.find("TABLE"); at != std::string::npos)
            message.replace(at, 5, table);
        const bool cell = r.err.find(": Edit refused: ") != std::string::npos;
        EXPECT_NE(r.err.find("zentab: " + (cell ? c.module : table) + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(path("out.bin")));
    }

    // Refused by the module, as set refuses it: Main all 0 would read as NEW.
    const Outcome asNew = run({"import", one, write("table", Of(header + "Main,1,X,0\r\n")), "-o", path("out.bin")});
    EXPECT_EQ(asNew.status, 1);
    EXPECT_NE(asNew.err.find("zentab: " + one + ": Edit refused"), std::string::npos) << asNew.err;
    // Standard input (empty here) is read as a table like any other.
    const Outcome empty = run({"import", four, "-", "-o", path("out.bin")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("standard input: line 1: the first line must be the header"), std::string::npos)
        << empty.err;
    EXPECT_FALSE(fs::exists(path("out.bin")));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"import", four, "-o", path("out.bin")},
                                                 {"import", four, "-"}, {"import", four, "-", "x", "-o", "o"}})
        EXPECT_EQ(run(args).status, 2);
}

TEST_F(CliDiff, CellsChecksumsAndBytesOutsideTheFields)
{
    const ModuleBuilder base = Form(true, false, 4);
    const Bytes a = base.build().bytes;
    const std::string fileA = write("a.bin", a);

    const Outcome same = run({"diff", fileA, write("copy.bin", a)});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("\nThe files are identical.\n"), std::string::npos) << same.out;

    const std::string edited = write("b.bin", ModuleBuilder(base).name(2, 2, "Other").value(2, 2, 3907029168).build().bytes);
    const Outcome cell = run({"diff", fileA, edited});
    EXPECT_EQ(cell.status, 1);
    EXPECT_NE(cell.out.find("  Alt 1 row 2: \"MODEL F2 R2\" 2002016 (1G) | \"Other\" 3907029168 (2.0T)\n"),
              std::string::npos)
        << cell.out;
    EXPECT_NE(cell.out.find(": value field, Alt 1 row 2\n"), std::string::npos) << cell.out;
    EXPECT_NE(cell.out.find("The files differ: 1 cell and the checksum field."), std::string::npos) << cell.out;

    // Two header bytes nothing reads, and one byte more at the end.
    Bytes other = a;
    other[20] ^= 1;
    other[21] ^= 1;
    other.push_back(0);
    const Outcome bytes = run({"diff", fileA, write("c.bin", other)});
    EXPECT_EQ(bytes.status, 1);
    EXPECT_NE(bytes.out.find("  0x14 to 0x15 (2 bytes): outside the fields\n"), std::string::npos) << bytes.out;
    EXPECT_NE(bytes.out.find("checksum 0x"), std::string::npos);
    EXPECT_NE(bytes.out.find(" WRONG (computed 0x"), std::string::npos) << bytes.out;
    const json asJson = json::parse(run({"diff", "--json", fileA, path("c.bin")}).out);
    EXPECT_EQ(asJson["byte_ranges"],
              (json{{{"offset", 20}, {"length", 2}, {"field", "other"}},
                    {{"offset", a.size()}, {"length", 1}, {"field", "other"}}}));
    EXPECT_EQ(asJson["cells"], json::array());
    EXPECT_EQ(asJson["a"]["checksum"]["valid"], true);
    EXPECT_EQ(asJson["b"]["checksum"]["valid"], false);
    EXPECT_EQ(asJson["b"]["size"], a.size() + 1);
    EXPECT_EQ(asJson["identical"], false);
}

TEST_F(CliDiff, LayoutsRowsAndNamePadding)
{
    const std::string std4 = write("std.bin", Form(true, false, 4).build().bytes);
    const std::string new10 = write("new.bin", Form(false, true, 10).build().bytes);
    const Outcome layouts = run({"diff", std4, new10});
    EXPECT_EQ(layouts.status, 1);
    EXPECT_NE(layouts.out.find("A  " + std4 + ": ROYL module 0x000C, "), std::string::npos) << layouts.out;
    EXPECT_NE(layouts.out.find(" bytes, STD, 4 rows per format, checksum 0x"), std::string::npos);
    EXPECT_NE(layouts.out.find("B  " + new10 + ": legacy module 0x0C, "), std::string::npos) << layouts.out;
    EXPECT_NE(layouts.out.find(" bytes, NEW, 10 rows per format, checksum 0x"), std::string::npos);
    EXPECT_NE(layouts.out.find("  Alt 5 row 10: (no such row) | \"MODEL F6 R10\" "), std::string::npos)
        << layouts.out;
    const json cells = json::parse(run({"diff", "--json", std4, new10}).out)["cells"];
    EXPECT_EQ(cells.size(), 60u);  // every cell: the NEW values are above 32 bits
    EXPECT_TRUE(cells[59]["a"].is_null());
    EXPECT_EQ(cells[59]["b"]["name"], "MODEL F6 R10");

    // Zeros instead of blanks after a name: other bytes, the same name.
    const std::string zeros = write("zeros.bin", Form(true, true, 11).rawName(3, 4, "PAD").build().bytes);
    const std::string blanks = write("blanks.bin", Form(true, true, 11).name(3, 4, "PAD").build().bytes);
    const Outcome padding = run({"diff", zeros, blanks});
    EXPECT_EQ(padding.status, 1);
    EXPECT_NE(padding.out.find("The files differ: 1 name field whose name reads the same and the checksum field."),
              std::string::npos)
        << padding.out;
    const json asJson = json::parse(run({"diff", "--json", zeros, blanks}).out);
    EXPECT_EQ(asJson["only_name_padding"], false);  // the checksum differs too
    EXPECT_EQ(asJson["name_fields_same_name"], 1);
    EXPECT_EQ(asJson["checksum_differs"], true);

    // Trouble is 2, as diff has it.
    const std::string wrongId = write("id13.bin", ModuleBuilder().moduleId(13).build().bytes);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"diff", std4, path("none")}, {"diff", wrongId, std4}, {"diff", std4},
          {"diff", std4, std4, std4}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// Padding, a cell and the checksum together, and the checksum alone: each
// difference is named, and "only" is said of nothing else.
TEST_F(CliDiff, EveryDifferingByteIsNamed)
{
    const ModuleBuilder base = Form(true, false, 4);
    const std::string a = write("a.bin", base.build().bytes);
    const Bytes padded = ModuleBuilder(base).rawName(3, 4, "MODEL F4 R3").value(1, 2, 7).build().bytes;
    const json both = json::parse(run({"diff", "--json", a, write("b.bin", padded)}).out);
    EXPECT_EQ(both["cells"].size(), 1u);
    EXPECT_EQ(both["name_fields_same_name"], 1);
    EXPECT_EQ(both["only_name_padding"], false);
    std::size_t names = 0;
    for (const json& range : both["byte_ranges"])
        names += range["field"] == "name" && range["format"] == "Alt 3" && range["row"] == 3;
    EXPECT_EQ(names, 1u) << both.dump();

    Bytes checksum = base.build().bytes;
    checksum[12] ^= 0xFF;
    const Outcome only = run({"diff", a, write("c.bin", checksum)});
    EXPECT_NE(only.out.find("The files differ only in the checksum field."), std::string::npos) << only.out;
    EXPECT_EQ(json::parse(run({"diff", "--json", a, path("c.bin")}).out)["only_name_padding"], false);
}

}  // namespace
