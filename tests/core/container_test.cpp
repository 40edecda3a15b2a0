#include "container.h"
#include "core_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace zentab;
using namespace zentab::testkit;

namespace {

ModuleDirectory Junk()
{
    ModuleDirectory d;
    d.entries.fill({0xDEAD, 0xBEEF});
    return d;
}

bool AllZeroFrom(const ModuleDirectory& d, int first)
{
    for (int i = first; i < ModuleDirectory::kEntries; ++i) {
        if (d[i].offset != 0 || d[i].size != 0)
            return false;
    }
    return true;
}

Bytes Checksummed(Bytes bytes)
{
    ModuleImage image = ImageOf(std::move(bytes));
    UpdateChecksum(image);
    return image.bytes();
}

int g_hookCalls = 0;
ModuleImage* g_target = nullptr;
void CountingHook() { ++g_hookCalls; }
void ClearingHook() { ++g_hookCalls, g_target->clear(); }
void ReplacingHook() { ++g_hookCalls, g_target->assign(Bytes(static_cast<std::size_t>(g_target->size()), 0)); }

}  // namespace

TEST(Container, HeaderFormAndModuleIdDecideAcceptance)
{
    struct Case {
        const char* what;
        bool royl;
        std::function<void(Bytes&)> edit;
        bool accepted;
    };
    const Case cases[] = {
        {"ROYL id 12", true, [](Bytes&) {}, true},
        {"ROYL id 13", true, [](Bytes& b) { b[8] = 13; }, false},
        {"ROYL id low 12 high 1, byte 4 = 12", true, [](Bytes& b) { b[9] = 1, b[4] = 12; }, false},
        {"ROYL id in byte 4 only", true, [](Bytes& b) { b[8] = 0, b[4] = 12; }, false},
        {"legacy id 12", false, [](Bytes&) {}, true},
        {"legacy id 13", false, [](Bytes& b) { b[4] = 13; }, false},
        {"legacy, byte 5 not zero", false, [](Bytes& b) { b[5] = 0x77; }, true},
        {"near-signature is legacy", false, [](Bytes& b) { std::copy_n("ROYM", 4, b.begin()); }, true},
        {"lower-case signature is legacy", false, [](Bytes& b) { std::copy_n("royl", 4, b.begin()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuiltModule built = Form(c.royl).build();
        c.edit(built.bytes);
        ModuleImage image = ImageOf(built.bytes);
        ModuleDirectory d = Junk();
        EXPECT_EQ(ReadModuleDirectory(image, d), c.accepted ? 12 : 0);
        EXPECT_EQ(d[11].offset, c.accepted ? built.blockOffset[11] : 0);
        EXPECT_TRUE(AllZeroFrom(d, c.accepted ? 12 : 0));
    }
}

TEST(Container, EntriesAreReadInOrderAndAtMost128Stored)
{
    // Only the low byte of the count word counts.
    const std::pair<int, std::uint32_t> counts[] = {{0, 0xFFFFFF}, {0, 0}, {1, 0x100}, {3, 0xABCDEF},
                                                    {12, 0xFFFFFF}, {20, 0}, {127, 0}, {128, 0}, {129, 0}, {255, 0}};
    for (bool royl : {true, false}) {
        for (const auto& [count, high] : counts) {
            SCOPED_TRACE(::testing::Message() << "royl " << royl << " count " << count << " high " << high);
            const BuiltModule built = Form(royl).entryCount(count).countHighBytes(high).build();
            ModuleImage image = ImageOf(built.bytes);
            ModuleDirectory d = Junk();
            EXPECT_EQ(ReadModuleDirectory(image, d), count);
            if (count == 0)
                continue;
            // count and headerSize lie right after the table: an entry stored
            // past it would overwrite them.
            EXPECT_EQ(d.count, count);
            EXPECT_EQ(d.headerSize, built.headerSize);
            const int stored = std::min(count, ModuleDirectory::kEntries);
            for (int i = 0; i < stored; ++i) {
                const auto at = static_cast<std::size_t>(i);
                EXPECT_EQ(d[i].offset, i < 12 ? built.blockOffset[at] : 0x1000u + 16u * i) << "entry " << i;
                EXPECT_EQ(d[i].size, i < 6 ? 96u : 16u) << "entry " << i;
            }
            EXPECT_TRUE(AllZeroFrom(d, stored));
        }
    }
}

TEST(Container, ShortHeaderIsAReadErrorAndKeepsEntriesReadSoFar)
{
    struct Case {
        bool royl;
        std::size_t keep;  // bytes left of the module
        int entriesKept;
    };
    const Case cases[] = {{true, 0, 0},  {true, 3, 0},  {true, 9, 0},           {true, 50, 0},
                          {true, 52 + 8 * 5 + 4, 5},    {true, 52 + 8 * 11 + 7, 11},
                          {false, 4, 0}, {false, 26, 0}, {false, 28 + 8 * 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "royl " << c.royl << " keep " << c.keep);
        const BuiltModule built = Form(c.royl).build();
        ModuleImage image = ImageOf(Bytes(built.bytes.begin(), built.bytes.begin() + static_cast<long>(c.keep)));
        ModuleDirectory d = Junk();
        EXPECT_PLATFORM_ERROR(ReadModuleDirectory(image, d), "Stream read error");
        for (int i = 0; i < c.entriesKept; ++i)
            EXPECT_EQ(d[i].offset, built.blockOffset[static_cast<std::size_t>(i)]) << "entry " << i;
        // An entry cut after its offset keeps that offset; its size stays 0.
        const std::size_t table = c.royl ? 52 : 28;
        const auto half = static_cast<std::size_t>(c.entriesKept);
        const bool offsetRead = c.keep >= table + 8 * half + 4;
        EXPECT_EQ(d[c.entriesKept].offset, offsetRead ? built.blockOffset[half] : 0u);
        EXPECT_EQ(d[c.entriesKept].size, 0u);
        EXPECT_TRUE(AllZeroFrom(d, c.entriesKept + 1));
    }
}

TEST(Checksum, WorkedExamples)
{
    EXPECT_EQ(Checksummed({0x01, 0x02, 0x03, 0x55, 0x0C, 0x00, 0x00, 0x00}),
              (Bytes{0x01, 0x02, 0x03, 0xEE, 0x0C, 0x00, 0x00, 0x00}));

    // Words other than the checksum: "ROYL" + (1 - "ROYL") + 0 = 1.
    Bytes royl = {'R', 'O', 'Y', 'L', 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78};
    for (int i = 0; i < 4; ++i)
        royl[4 + i] = static_cast<std::uint8_t>((1u - kRoylSignature) >> (8 * i));
    Bytes expected = royl;
    std::fill_n(expected.begin() + 12, 4, 0xFF);
    EXPECT_EQ(Checksummed(royl), expected);
}

TEST(Checksum, LargeImagesMatchThePlainSums)
{
    std::mt19937 rng(7);
    for (std::size_t size : {16u, 65535u, 65536u, (4u << 16) + 3, (5u << 16) + 2}) {
        Bytes bytes(size);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(rng());
        std::copy_n("ROYL", 4, bytes.begin());
        EXPECT_EQ(RoylWordSum(Checksummed(bytes)), 0u) << size;
        bytes[0] = 'X';
        EXPECT_EQ(LegacyByteSum(Checksummed(bytes)), 0u) << size;
    }
}

TEST(Checksum, ImageShorterThanFourBytesIsAReadError)
{
    for (std::size_t size = 0; size < 4; ++size) {
        ModuleImage image = ImageOf(Bytes(size, 'R'));
        EXPECT_PLATFORM_ERROR(UpdateChecksum(image), "Stream read error");
        EXPECT_PLATFORM_ERROR(InspectChecksum(image), "Stream read error");
    }
}

TEST(Checksum, PendingMessagesRunDuringTheSumButNotPerUnit)
{
    HookGuard guard(CountingHook);
    for (std::size_t size : {8u, 1u << 20}) {
        g_hookCalls = 0;
        ModuleImage image = ImageOf(Bytes(size, 1));
        UpdateChecksum(image);
        EXPECT_GE(g_hookCalls, 1) << size;
        EXPECT_LT(g_hookCalls, 1000) << "a toolkit call per byte makes saving crawl";
    }
}

TEST(Checksum, ImageReplacedDuringTheSumIsAReadError)
{
    for (PendingMessagesHook hook : {ClearingHook, ReplacingHook}) {
        for (bool royl : {true, false}) {
            for (std::size_t size : {64u, 16u << 20}) {  // the large one is replaced mid-sum
                SCOPED_TRACE(::testing::Message() << "royl " << royl << " size " << size);
                HookGuard guard(hook);
                g_hookCalls = 0;
                Bytes bytes(size, 3);
                if (royl)
                    std::copy_n("ROYL", 4, bytes.begin());
                ModuleImage image = ImageOf(std::move(bytes));
                g_target = &image;
                EXPECT_PLATFORM_ERROR(UpdateChecksum(image), "Stream read error");
                EXPECT_GE(g_hookCalls, 1);
            }
        }
    }
}

TEST(Checksum, InspectReportsStoredAndComputedWithoutChanging)
{
    for (bool royl : {true, false}) {
        for (bool good : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "royl " << royl << " good " << good);
            const Bytes bytes = (good ? Form(royl) : Form(royl).badChecksum()).tail(3).build().bytes;
            ModuleImage image = ImageOf(bytes);
            const ChecksumStatus status = InspectChecksum(image);
            EXPECT_EQ(image.bytes(), bytes);
            EXPECT_EQ(status.royl, royl);
            EXPECT_EQ(status.stored == status.computed, good);
            image.seek(33);
            UpdateChecksum(image);
            EXPECT_EQ(image.position(), 0);
            EXPECT_EQ(LE(image.bytes(), royl ? 12 : 3, royl ? 4 : 1), status.computed);
            EXPECT_EQ(InspectChecksum(image).stored, status.computed);
        }
    }
}
