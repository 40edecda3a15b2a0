// Save through the session: what reaches the file, what is refused, and
// that nothing can change the image while the checksum lets events in.

#include "session_fixture.h"

#include <gtest/gtest.h>

namespace {

using zentab::editor::Controls;
using zentab::editor::LbaField;
using zentab::editor::ModelField;
using zentab::testkit::ModuleBuilder;
using zentab::testkit::SessionTest;

const char* const kFormatNames[] = {"Main", "Alt 1", "Alt 2", "Alt 3", "Alt 4", "Alt 5"};

struct FieldCase {
    const char* label;
    bool isNew;
    int format;
    int row;
    const char* text;
    // What the saved module holds there; -1 when Save must refuse.
    std::int64_t saved;
    const char* why;  // part of the refusal
    bool nameField = false;
};

const FieldCase kFieldCases[] = {
    {"empty", false, 2, 3, "", 0, nullptr},
    {"leading blank", false, 2, 3, " 123", 123, nullptr},
    {"dollar hex", true, 4, 1, "$10", 16, nullptr},
    {"largest STD", false, 1, 2, "4294967295", 4294967295, nullptr},
    {"large NEW", true, 6, 4, "5860533168", 5860533168, nullptr},
    {"gigabytes not converted", false, 3, 3, "2000G", -1, "not a number; pressing Enter"},
    {"terabytes not converted", true, 3, 3, "2T", -1, "not a number; pressing Enter"},
    {"trailing blank", false, 3, 3, "123 ", -1, "not a number"},
    {"letters", true, 3, 3, "abc", -1, "not a number"},
    {"negative STD", false, 3, 3, "-5", -1, "does not fit the 32-bit values of an STD module"},
    {"negative NEW", true, 3, 3, "-5", -1, "is negative"},
    {"3T in STD", false, 3, 3, "5860533168", -1, "does not fit the 32-bit values of an STD module"},
    {"2^32 in STD", false, 3, 3, "4294967296", -1, "does not fit the 32-bit values of an STD module"},
    {"name beyond Latin-1", true, 2, 1, "\xD0\x9C\xD0\xBE\xD0\xB4", -1, "one byte each (Latin-1)", true},
};

void PrintTo(const FieldCase& c, std::ostream* out) { *out << c.label; }

class SaveField : public SessionTest, public ::testing::WithParamInterface<FieldCase> {};

// Either the field's value reaches the file exactly, or Save names the
// field and its text and leaves image, table and files as they were.
TEST_P(SaveField, StoresExactlyOrRefusesNamingTheField)
{
    const FieldCase& c = GetParam();
    const ModuleBuilder builder = ModuleBuilder().rows(4).newLayout(c.isNew);
    load(write("in.bin", builder));
    const std::vector<std::uint8_t> image = module.image.bytes();
    const zentab::ModelTable table = module.table;
    const auto field = c.nameField ? ModelField(c.format, c.row) : LbaField(c.format, c.row);
    view.type(field, c.text);
    view.saveAnswers.push_back(dir / "out.bin");
    session.btSaveClick();

    if (c.saved >= 0) {
        EXPECT_TRUE(view.messages.empty()) << view.messages.front();
        EXPECT_EQ(read("out.bin"), ModuleBuilder(builder).value(c.row, c.format, c.saved).build().bytes);
        return;
    }
    ASSERT_EQ(view.messages.size(), 1u);
    const std::string& box = view.messages.front();
    const std::string cell = std::string(kFormatNames[c.format - 1]) + ", row " + std::to_string(c.row) + ", \"" +
                             c.text + "\"";
    EXPECT_NE(box.find("Save refused"), std::string::npos) << box;
    EXPECT_NE(box.find(cell), std::string::npos) << box;
    EXPECT_NE(box.find(c.why), std::string::npos) << box;
    EXPECT_NE(box.find("Nothing was written."), std::string::npos) << box;
    EXPECT_TRUE(view.proposedSaveNames.empty());
    EXPECT_EQ(module.image.bytes(), image);
    EXPECT_EQ(module.table.values, table.values);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
    // The field keeps what the user typed, to be mended.
    EXPECT_EQ(view.text(field), c.text);
}

INSTANTIATE_TEST_SUITE_P(Fields, SaveField, ::testing::ValuesIn(kFieldCases),
                         [](const auto& info) {
                             std::string name = info.param.label;
                             for (char& ch : name)
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST_F(SessionTest, SaveNamesEveryOffendingFieldInOneBox)
{
    load(write("in.bin", ModuleBuilder().rows(10)));
    view.type(LbaField(1, 1), "2000G");
    view.type(LbaField(3, 3), "-5");
    view.type(LbaField(6, 10), "3T");
    session.btSaveClick();
    ASSERT_EQ(view.messages.size(), 1u);
    for (const char* cell : {"Main, row 1, \"2000G\"", "Alt 2, row 3, \"-5\"", "Alt 5, row 10, \"3T\""})
        EXPECT_NE(view.messages.front().find(cell), std::string::npos) << cell << " in " << view.messages.front();
}

// Main values all 0 make the next Load take the module as NEW and read
// its values from elsewhere.
TEST_F(SessionTest, SaveRefusesStdModuleWhoseMainValuesWouldAllBeZero)
{
    load(write("in.bin", ModuleBuilder().rows(3)));
    const std::vector<std::uint8_t> image = module.image.bytes();
    for (int r = 1; r <= 3; ++r)
        view.type(LbaField(1, r), "0");
    view.saveAnswers.push_back(dir / "out.bin");
    session.btSaveClick();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages.front().find("would read as NEW instead of STD"), std::string::npos)
        << view.messages.front();
    EXPECT_EQ(module.image.bytes(), image);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
}

// The checksum lets events in; every command that would change the image
// or the fields Save collected must then do nothing.
TEST_F(SessionTest, CommandsDuringSaveAreIgnored)
{
    const ModuleBuilder builder = ModuleBuilder().legacy().rows(3);
    load(write("in.bin", builder));
    write("other.bin", ModuleBuilder().rows(5).newLayout());
    view.type(ModelField(1, 2), "EDITED");
    bool tried = false;
    view.pendingEvents = [&] {
        if (tried)
            return;
        tried = true;
        EXPECT_TRUE(session.saving());
        view.type(LbaField(1, 1), "500000000");
        view.openAnswers.push_back(dir / "other.bin");
        session.btLoadClick();
        session.LoadDroppedFile(dir / "other.bin");
        session.btAutoClick();
        session.miFromHeadClick(1);
        view.type(LbaField(2, 2), "2T");
        session.LBA11ButtonClick(LbaField(2, 2));
        session.LBA11KeyPress(LbaField(2, 2), 13);
        session.btSaveClick();
    };
    view.saveAnswers.push_back(dir / "out.bin");
    session.btSaveClick();
    EXPECT_TRUE(tried);
    EXPECT_FALSE(session.saving());
    EXPECT_EQ(view.openAnswers.size(), 1u);  // no Load asked for a file
    EXPECT_EQ(view.proposedSaveNames.size(), 1u);
    EXPECT_EQ(view.text(LbaField(2, 2)), "2T");
    EXPECT_EQ(view.text(ModelField(1, 1)), ModuleBuilder::defaultName(1, 1));
    EXPECT_EQ(read("out.bin"), ModuleBuilder(builder).name(2, 1, "EDITED").build().bytes);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(SessionTest, SaveProposesTheLoadedFileAndCancelWritesNothing)
{
    const std::filesystem::path in = write("in.bin", ModuleBuilder().badChecksum());
    load(in);
    view.type(ModelField(1, 1), "NEW NAME");
    session.btSaveClick();  // no answer queued: the dialog is cancelled
    ASSERT_EQ(view.proposedSaveNames.size(), 1u);
    EXPECT_EQ(view.proposedSaveNames.front(), in);
    EXPECT_EQ(read("in.bin"), ModuleBuilder().badChecksum().build().bytes);
    // The image holds the edit and a good checksum already, as before the dialog.
    EXPECT_EQ(module.image.bytes(), ModuleBuilder().name(1, 1, "NEW NAME").build().bytes);
}

TEST_F(SessionTest, SaveWithoutAModuleSaysSo)
{
    session.btSaveClick();
    view.openAnswers.push_back(write("id13.bin", ModuleBuilder().moduleId(13)));
    session.btLoadClick();
    session.btSaveClick();
    EXPECT_EQ(view.messages, (std::vector<std::string>(2, "Nothing to save: the last Load did not read a model-list module.")));
    EXPECT_TRUE(view.proposedSaveNames.empty());
}

}  // namespace
