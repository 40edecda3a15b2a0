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

namespace {

// UTF-16 bytes after their byte-order mark.
std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string out;
    for (const char16_t unit : u"\uFEFF" + text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

// Settings however a text editor saved them list their keys readably, and a
// key typed in other case, in any script, copies its value.
TEST_F(SessionTest, SettingsInAnyTextListReadablyAndFindKeysInAnyCase)
{
    const std::u16string wide = u"[Capacity]\r\n500GB=976773168\r\n2000ГБ=3907029168\r\nΣΊΓΜΑ ÄÖ=7\r\n";
    const std::string text = "[Capacity]\r\n500GB=976773168\r\n2000ГБ=3907029168\r\nΣΊΓΜΑ ÄÖ=7\r\n";
    const struct {
        const char* what;
        std::string bytes;
    } forms[] = {
        {"UTF-8", text},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + text},
        {"UTF-16 LE", Utf16(wide, false)},
        {"UTF-16 BE", Utf16(wide, true)},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.what);
        view.candidates = {dir / "ZentabEditor.ini"};
        zentab::testkit::WriteFileBytes(view.candidates[0].string(),
                                        std::vector<std::uint8_t>(form.bytes.begin(), form.bytes.end()));
        session.FormCreate();
        EXPECT_EQ(view.listItems, (std::vector<std::string>{"500GB", "2000ГБ", "ΣΊΓΜΑ ÄÖ"}));
        for (const auto& [typed, copied] : {std::pair{"2000гб", "3907029168"}, {"σίγμα äö", "7"}, {"ςίγμα Äö", "7"},
                                            {"500gb", "976773168"}, {"2000г", ""}}) {
            view.texts[Controls().cbStdCapacity] = typed;
            session.cbStdCapacityChange();
            EXPECT_EQ(view.clipboard, copied) << typed;
        }
    }
}

}  // namespace
