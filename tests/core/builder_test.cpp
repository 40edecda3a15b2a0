#include "core_test_support.h"

#include <gtest/gtest.h>

using namespace zentab;
using namespace zentab::testkit;

// The builder itself must produce what the codec reads, in every combination
// the other tests lean on.
TEST(Builder, ModulesReadBackAsBuilt)
{
    for (bool royl : {true, false}) {
        for (bool isNew : {false, true}) {
            for (int rows : {1, 4, 10, 11}) {
                for (std::size_t tail : {0u, 3u, 8u}) {
                    SCOPED_TRACE(::testing::Message() << "royl=" << royl << " new=" << isNew << " rows=" << rows
                                                    << " tail=" << tail);
                    ModuleBuilder builder;
                    if (!royl)
                        builder.legacy();
                    builder.rows(rows).newLayout(isNew).tail(tail);
                    const BuiltModule built = builder.build();
                    Module m = Load(built.bytes);
                    EXPECT_EQ(m.layout.rowsPerFormat, rows);
                    EXPECT_EQ(m.layout.isNew, isNew);
                    if (isNew) {
                        EXPECT_EQ(m.layout.newBlockOffset, built.newBlockOffset);
                    }
                    for (int f = 1; f <= kFormats; ++f) {
                        for (int r = 1; r <= rows; ++r) {
                            EXPECT_EQ(m.table.name(r, f), ModuleBuilder::defaultName(r, f));
                            EXPECT_EQ(m.table.value(r, f), builder.defaultValue(r, f));
                        }
                    }
                    if (royl) {
                        EXPECT_EQ(RoylWordSum(built.bytes), 0u);
                    } else {
                        EXPECT_EQ(LegacyByteSum(built.bytes), 0u);
                    }
                }
            }
        }
    }
}
