#pragma once
// A session over a fake view and a folder of synthesised modules.

#include "fake_view.h"
#include "module_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace zentab::testkit {

class SessionTest : public ::testing::Test {
protected:
    SessionTest()
    {
        view.session = &session;
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            c = c == '/' ? '_' : c;
        dir = std::filesystem::temp_directory_path() / ("zentab-session-" + name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~SessionTest() override { std::filesystem::remove_all(dir); }

    std::filesystem::path write(const std::string& name, const ModuleBuilder& builder)
    {
        const std::filesystem::path path = dir / name;
        WriteFileBytes(path.string(), builder.build().bytes);
        return path;
    }

    void load(const std::filesystem::path& path)
    {
        view.openAnswers.push_back(path);
        session.btLoadClick();
    }

    std::vector<std::uint8_t> read(const std::string& name) const { return ReadFileBytes((dir / name).string()); }

    Module module;
    FakeView view;
    editor::EditorSession session{module, view};
    std::filesystem::path dir;
};

}  // namespace zentab::testkit
