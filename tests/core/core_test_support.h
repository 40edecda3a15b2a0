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
#include <random>
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

// An image of bytes 1, 2, 3, ...: every byte tells where it came from.
inline ModuleImage Counting(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    return ImageOf(bytes);
}

// A scratch folder, removed with its contents when the test ends.
class ScratchDir {
public:
    // A fresh name that only its creator can enter, as mkdtemp gives, but
    // through the standard library so that it builds for Windows too.
    ScratchDir()
    {
        static std::mt19937_64 random(std::random_device{}());
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = std::filesystem::temp_directory_path() / ("zentab-core-" + std::to_string(random() % 1000000000));
            if (std::filesystem::create_directory(path_)) {
                std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
                return;
            }
        }
        throw std::runtime_error("no fresh scratch folder");
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
