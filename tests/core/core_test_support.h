#pragma once
// Small helpers shared by the core tests.

#include "container.h"
#include "errors.h"
#include "files_test_support.h"
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

// Installs a pending-messages hook for one scope and always removes it.
struct HookGuard {
    explicit HookGuard(PendingMessagesHook hook) { SetPendingMessagesHook(hook); }
    ~HookGuard() { SetPendingMessagesHook(nullptr); }
    HookGuard(const HookGuard&) = delete;
    HookGuard& operator=(const HookGuard&) = delete;
};

}  // namespace zentab::testkit
