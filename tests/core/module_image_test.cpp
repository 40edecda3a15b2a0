#include "core_test_support.h"
#include "module_image.h"

#include <gtest/gtest.h>

using namespace zentab;
using namespace zentab::testkit;

TEST(ModuleImage, ReadTakesExactlyTheBytesThatAreThere)
{
    struct Case {
        std::int64_t position;
        std::size_t count;
        bool ok;
    };
    const Case cases[] = {
        {0, 10, true}, {3, 7, true}, {10, 0, true}, {11, 0, true}, {-1, 0, true},  // nothing asked, nothing missing
        {4, 7, false}, {10, 1, false}, {100, 1, false}, {-1, 1, false}, {-4, 8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "position " << c.position << " count " << c.count);
        ModuleImage image = Counting(10);
        image.seek(c.position);
        EXPECT_EQ(image.position(), c.position);  // seeking is never checked
        std::uint8_t out[16] = {};
        if (!c.ok) {
            EXPECT_PLATFORM_ERROR(image.read(out, c.count), "Stream read error");
            continue;
        }
        image.read(out, c.count);
        EXPECT_EQ(image.position(), c.position + static_cast<std::int64_t>(c.count));
        for (std::size_t i = 0; i < c.count; ++i)
            EXPECT_EQ(out[i], c.position + 1 + static_cast<std::int64_t>(i));
    }
}

TEST(ModuleImage, WriteOverwritesInPlaceAndGrowsWithZeroGap)
{
    ModuleImage image = Counting(8);
    const std::uint8_t patch[3] = {0xA1, 0xA2, 0xA3};
    image.seek(2);
    image.write(patch, 3);
    EXPECT_EQ(image.position(), 5);
    image.seek(6);  // runs over the end
    image.write(patch, 3);
    image.seek(11);  // leaves a gap
    image.write(patch, 1);
    EXPECT_EQ(image.bytes(), (Bytes{1, 2, 0xA1, 0xA2, 0xA3, 6, 0xA1, 0xA2, 0xA3, 0, 0, 0xA1}));
}

TEST(ModuleImage, SaveThenLoadGivesTheSameBytes)
{
    ScratchDir dir;
    const std::string path = dir / "module.bin";
    for (std::size_t size : {0u, 1u, 200000u}) {
        SCOPED_TRACE(size);
        const ModuleImage saved = Counting(size);
        saved.saveToFile(path);
        EXPECT_EQ(ReadFileBytes(path), saved.bytes());
        ModuleImage loaded = Counting(5);
        loaded.seek(3);
        loaded.loadFromFile(path);
        EXPECT_EQ(loaded.bytes(), saved.bytes());
        EXPECT_EQ(loaded.position(), 0);
    }
    EXPECT_EQ(dir.entries(), 1u);  // no temporary file left behind
}

TEST(ModuleImage, SaveIntoMissingFolderFailsAndCreatesNothing)
{
    ScratchDir dir;
    const std::string path = dir / "no-such-folder/module.bin";
    EXPECT_PLATFORM_ERROR(Counting(4).saveToFile(path),
                          "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_EQ(dir.entries(), 0u);
}
