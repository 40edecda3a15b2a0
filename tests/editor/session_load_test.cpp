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
