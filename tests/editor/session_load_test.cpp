// Load and the binding through the session, with a fake view.

#include "session_fixture.h"

namespace {

using zentab::editor::Controls;
using zentab::editor::LbaField;
using zentab::editor::ModelField;
using zentab::testkit::ModuleBuilder;
using zentab::testkit::SessionTest;

TEST_F(SessionTest, LoadShowsTheListsAndEnablesSaveAndAuto)
{
    view.openAnswers.push_back(write("m.bin", ModuleBuilder().rows(3)));
    session.btLoadClick();
    EXPECT_EQ(view.caption, "Редактор списка моделей - m.bin");
    EXPECT_EQ(view.text(Controls().laFormat), "STD");
    EXPECT_EQ(view.text(ModelField(2, 3)), ModuleBuilder::defaultName(3, 2));
    EXPECT_EQ(view.text(LbaField(6, 3)), std::to_string(ModuleBuilder().rows(3).defaultValue(3, 6)));
    EXPECT_TRUE(view.active[LbaField(6, 3)]);
    EXPECT_FALSE(view.active[LbaField(1, 4)]);
    EXPECT_TRUE(view.enabled[Controls().btSave]);
    EXPECT_TRUE(view.enabled[Controls().btAuto]);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.errors.empty());
}

}  // namespace

namespace {

// The command line: the first file is loaded as a drop is, whatever else was
// given is named in one message, and nothing the editor cannot use is opened.
TEST_F(SessionTest, StartArgumentsLoadTheFirstFileAndNameTheRest)
{
    const std::filesystem::path module = write("m.bin", ModuleBuilder().rows(3));
    const std::filesystem::path missing = dir / std::filesystem::path(u8"нет.bin");
    struct Case {
        std::vector<std::filesystem::path> arguments;
        bool loads;
        bool error;
        std::vector<std::string> notUsed;
    };
    const Case cases[] = {
        {{}, false, false, {}},
        {{"", module}, true, false, {}},
        {{"--", "-m.bin"}, false, true, {}},  // after "--" a dash begins a file name; this one is not there
        {{"--geometry", module, "b.bin"}, true, false, {"--geometry", "b.bin"}},
        {{"-x"}, false, false, {"-x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.size());
        view.messages.clear();
        view.errors.clear();
        session.OpenStartArguments(c.arguments);
        EXPECT_EQ(view.text(ModelField(1, 1)), c.loads ? ModuleBuilder::defaultName(1, 1) : "");
        if (c.loads) {
            EXPECT_EQ(session.lastOpenPath(), module);
        }
        EXPECT_EQ(view.errors.size(), c.error ? 1u : 0u);
        ASSERT_EQ(view.messages.size(), c.notUsed.empty() ? 0u : 1u);
        for (const std::string& word : c.notUsed)
            EXPECT_NE(view.messages[0].find("\n" + word), std::string::npos) << view.messages[0];
        session.FormCreate();
        session.LoadDroppedFile(missing);  // leaves no module behind for the next row
    }
    // A file that is not there: Load's error, naming it, and the window goes on.
    view.errors.clear();
    session.OpenStartArguments({missing});
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_NE(view.errors[0].find("нет.bin"), std::string::npos) << view.errors[0];
    EXPECT_EQ(view.text(ModelField(1, 1)), "");
}

}  // namespace
