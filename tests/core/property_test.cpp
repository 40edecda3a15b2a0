// Properties over a few thousand random synthesised modules. The seed is
// fixed and printed with every failure, so a failure can be replayed.

#include "container.h"
#include "core_test_support.h"
#include "model_codec.h"
#include "name_field.h"

#include <random>

using namespace zentab;
using namespace zentab::testkit;

namespace {

constexpr std::uint32_t kSeed = 20261208;
constexpr int kModules = 3000;

struct Random {
    std::mt19937_64 engine{kSeed};
    int below(int n) { return static_cast<int>(engine() % static_cast<std::uint64_t>(n)); }
    bool coin() { return engine() & 1; }
    std::int64_t any64() { return static_cast<std::int64_t>(engine()); }

    // Names as drives and technicians leave them: padding, control bytes,
    // high bytes, exactly 24 characters.
    std::string rawName()
    {
        std::string field(24, '\0');
        const int length = below(25);
        for (int i = 0; i < length; ++i)
            field[static_cast<std::size_t>(i)] = static_cast<char>(below(8) == 0 ? below(256) : 32 + below(95));
        return field;
    }
};

struct Drawn {
    ModuleBuilder builder;
    bool royl;
    bool isNew;
    int rows;
};

Drawn Draw(Random& random)
{
    Drawn d{ModuleBuilder(), random.coin(), random.coin(), random.below(14)};
    if (!d.royl)
        d.builder.legacy();
    d.builder.rows(d.rows).newLayout(d.isNew).tail(static_cast<std::size_t>(random.below(9)));
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= d.rows; ++r) {
            if (random.coin())
                d.builder.rawName(r, f, random.rawName());
            const std::int64_t value = random.any64();
            // Main row 1 never 0 in STD, so the module stays STD.
            d.builder.value(r, f, d.isNew ? value : (f == 1 && r == 1 ? (value | 1) & 0xFFFFFFFF : value & 0xFFFFFFFF));
        }
    }
    return d;
}

bool IsChecksumByte(bool royl, std::size_t at) { return royl ? at >= 12 && at < 16 : at == 3; }

}  // namespace

TEST(Property, SavingWithoutEditsChangesOnlyNameNormalisationAndChecksum)
{
    Random random;
    for (int i = 0; i < kModules; ++i) {
        SCOPED_TRACE(::testing::Message() << "seed " << kSeed << " module " << i);
        Drawn d = Draw(random);
        const BuiltModule built = d.builder.build();
        Module m = Load(built.bytes);
        ASSERT_EQ(m.layout.isNew, d.isNew || d.rows == 0);  // no rows reads as NEW
        ASSERT_EQ(WriteModelList(m.table, m.directory, m.layout, m.image), "");
        UpdateChecksum(m.image);
        const Bytes& saved = m.image.bytes();
        ASSERT_EQ(saved.size(), built.bytes.size());
        for (std::size_t at = 0; at < saved.size(); ++at) {
            if (saved[at] == built.bytes[at] || IsChecksumByte(d.royl, at))
                continue;
            bool inName = false;
            for (int f = 1; f <= kFormats && !inName; ++f) {
                for (int r = 1; r <= RowsHandled(d.rows) && !inName; ++r)
                    inName = at >= built.nameFieldAt(r, f) && at < built.nameFieldAt(r, f) + 24;
            }
            ASSERT_TRUE(inName) << "byte " << at << " changed outside the name fields";
        }
        // Every name field is now in its normalised form and reads back the same.
        for (int f = 1; f <= kFormats; ++f) {
            for (int r = 1; r <= RowsHandled(d.rows); ++r) {
                NameField field;
                std::copy_n(saved.begin() + built.nameFieldAt(r, f), 24, field.begin());
                ASSERT_EQ(field, EncodeNameField(m.table.name(r, f)));
            }
        }
    }
}

TEST(Property, ChecksumSumRuleHoldsForEverySizeAndTwiceEqualsOnce)
{
    Random random;
    for (int size = 4; size < 4 + kModules / 4; ++size) {
        for (bool royl : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "seed " << kSeed << " size " << size << " royl " << royl);
            Bytes bytes(static_cast<std::size_t>(size));
            for (std::uint8_t& b : bytes)
                b = static_cast<std::uint8_t>(random.below(256));
            if (royl)
                std::copy_n("ROYL", 4, bytes.begin());
            else if (bytes[0] == 'R')
                bytes[0] = 'r';
            if (royl && size < 16)
                continue;  // shorter ROYL images grow when the field is written
            ModuleImage image = ImageOf(bytes);
            UpdateChecksum(image);
            const Bytes once = image.bytes();
            if (royl) {
                Bytes whole(once.begin(), once.begin() + (size / 4) * 4);
                EXPECT_EQ(RoylWordSum(whole), 0u);
            } else {
                EXPECT_EQ(LegacyByteSum(once), 0u);
            }
            for (std::size_t at = 0; at < bytes.size(); ++at)
                ASSERT_TRUE(once[at] == bytes[at] || IsChecksumByte(royl, at)) << at;
            UpdateChecksum(image);
            EXPECT_EQ(image.bytes(), once);
        }
    }
}

TEST(Property, StdKeepsTheLowWordOfWideAndNegativeValues)
{
    Random random;
    for (int i = 0; i < kModules; ++i) {
        SCOPED_TRACE(::testing::Message() << "seed " << kSeed << " module " << i);
        const BuiltModule built = ModuleBuilder().rows(1 + random.below(11)).build();
        Module m = Load(built.bytes);
        const int r = 1 + random.below(m.layout.rowsPerFormat);
        const int f = 2 + random.below(5);  // Main stays as built, so the layout stays STD
        std::int64_t value = random.any64();
        if (random.coin())
            value = -(value & 0xFFFFFFFFFF);
        m.table.value(r, f) = value;
        ASSERT_EQ(WriteModelList(m.table, m.directory, m.layout, m.image), "");
        EXPECT_EQ(LE(m.image.bytes(), built.stdValueAt(r, f), 4), static_cast<std::uint32_t>(value));
        Module again = Load(m.image.bytes());
        EXPECT_EQ(again.table.value(r, f), static_cast<std::int64_t>(static_cast<std::uint32_t>(value)));
    }
}
