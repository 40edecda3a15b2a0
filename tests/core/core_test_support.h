#pragma once
// Small helpers shared by the core tests.

#include "container.h"
#include "errors.h"
#include "model_codec.h"
#include "module_builder.h"
#include "module_state.h"
#include "pending_messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace zentab::testkit {

using Bytes = std::vector<std::uint8_t>;

// Runs a statement that must fail with a platform error of exactly this text.
#define EXPECT_PLATFORM_ERROR(statement, text)                                 \
    do {                                                                       \
        try {                                                                  \
            statement;                                                         \
            ADD_FAILURE() << "no error from " #statement;                      \
        } catch (const ::zentab::PlatformError& e) {                           \
            EXPECT_EQ(std::string(e.what()), std::string(text)) << #statement; \
        }                                                                      \
    } while (0)

inline ModuleBuilder Form(bool royl)
{
    ModuleBuilder builder;
    if (!royl)
        builder.legacy();
    return builder;
}

// Container check and layout decision, as Load runs them before reading.
inline Module Open(const Bytes& bytes)
{
    Module m;
    m.image.assign(bytes);
    EXPECT_NE(ReadModuleDirectory(m.image, m.directory), 0);
    DecideListLayout(m.image, m.directory, m.layout);
    return m;
}

inline Module Load(const Bytes& bytes)
{
    Module m = Open(bytes);
    ReadModelList(m.image, m.directory, m.layout, m.table);
    return m;
}

inline ModuleImage ImageOf(Bytes bytes)
{
    ModuleImage image;
    image.assign(std::move(bytes));
    return image;
}

// A scratch folder, removed with its contents when the test ends.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zentab-core-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
    }

private:
    std::filesystem::path path_;
};

// Installs a pending-messages hook for one scope and always removes it.
struct HookGuard {
    explicit HookGuard(PendingMessagesHook hook) { SetPendingMessagesHook(hook); }
    ~HookGuard() { SetPendingMessagesHook(nullptr); }
    HookGuard(const HookGuard&) = delete;
    HookGuard& operator=(const HookGuard&) = delete;
};

}  // namespace zentab::testkit
