#include "container.h"
#include "core_test_support.h"
#include "model_codec.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zentab;
using namespace zentab::testkit;

namespace {

Module Open(const BuiltModule& built) { return testkit::Open(built.bytes); }
Module Load(const BuiltModule& built) { return testkit::Load(built.bytes); }

std::string Write(Module& m) { return WriteModelList(m.table, m.directory, m.layout, m.image); }

// Blank-padded to 23 characters, then a zero byte.
std::string Padded(std::string text)
{
    text.resize(23, ' ');
    return text + '\0';
}

const std::string kMarker("\x20\x20\x20\x20\0\0\0\0", 8);

}  // namespace

TEST(Codec, FindNewValueBlockTakesTheMarkerNearestTheEnd)
{
    struct Case {
        std::size_t size;
        std::vector<std::size_t> markers;
        std::int32_t expected;
    };
    const Case cases[] = {
        {64, {56}, 128} /* at size-8: past the end */, {64, {16, 40}, 112}, {64, {8}, 80}, {64, {}, -1},
        {64, {41}, -1} /* not a multiple of 8 below the end */, {64, {0}, -1} /* 0 and 1 never examined */,
        {65, {1}, -1}, {66, {2}, 74}, {65, {9, 1}, 81},
    };
    for (const Case& c : cases) {
        Bytes bytes(c.size, 0x20);  // blanks make near-misses everywhere
        for (std::size_t at : c.markers)
            std::copy(kMarker.begin(), kMarker.end(), bytes.begin() + static_cast<long>(at));
        ModuleImage image = ImageOf(bytes);
        EXPECT_EQ(FindNewValueBlock(image), c.expected) << "size " << c.size << ", " << c.markers.size() << " markers";
    }
}

TEST(Codec, StdWithZeroMainIsReadAsNew)
{
    // The NEW block of this STD module holds values of its own, so the table
    // shows which block was read.
    for (int nonZeroRow : {0, 1, 4}) {
        SCOPED_TRACE(::testing::Message() << "non-zero Main row " << nonZeroRow);
        ModuleBuilder builder;
        builder.rows(4).withMarker();
        for (int r = 1; r <= 4; ++r)
            builder.value(r, 1, r == nonZeroRow ? 5000 : 0);
        BuiltModule built = builder.build();
        const auto alt2Row3 = static_cast<std::size_t>(built.newValueAt(3, 3, 4));
        built.bytes[alt2Row3 + 7] = 0x12;
        const Module m = Load(built);
        EXPECT_EQ(m.layout.isNew, nonZeroRow == 0);
        EXPECT_EQ(m.layout.newBlockOffset, built.newBlockOffset);
        EXPECT_EQ(m.table.value(3, 3), nonZeroRow == 0 ? static_cast<std::int64_t>(LE(built.bytes, alt2Row3, 8))
                                                       : builder.defaultValue(3, 3));
    }
}

TEST(Codec, RowsComeFromEntryZeroAndNoRowsMeansNothingTouched)
{
    const std::uint32_t nameBlock = ModuleBuilder().build().blockOffset[0];
    const std::pair<std::uint32_t, int> cases[] = {{0, 0}, {23, 0}, {24, 1}, {4 * 24 + 23, 4}};
    for (const auto& [size, rows] : cases) {
        SCOPED_TRACE(size);
        const BuiltModule built = ModuleBuilder().rows(4).entry(0, nameBlock, size).build();
        Module m = Open(built);
        EXPECT_EQ(m.layout.rowsPerFormat, rows);
        EXPECT_EQ(m.layout.isNew, rows == 0);
        for (auto& row : m.table.names)
            row.fill("KEEP");
        ReadModelList(m.image, m.directory, m.layout, m.table);
        EXPECT_EQ(m.table.name(rows + 1, 1), "KEEP");
        EXPECT_EQ(m.table.name(std::max(rows, 1), 6), rows ? ModuleBuilder::defaultName(rows, 6) : "KEEP");
        if (rows == 0) {
            EXPECT_EQ(Write(m), "");
            EXPECT_EQ(m.image.bytes(), built.bytes);
        }
    }
}

TEST(Codec, NameFieldsAreNormalisedOnReadAndWrite)
{
    const std::string full24 = "WDC WD20EARS-00MVWB0 XYZ";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // raw field, name read, field written
        {"ABCDEFG", "ABCDEFG", "ABCDEFG" + std::string(16, ' ') + '\0'},
        {"   LEFT", "LEFT", Padded("LEFT")},
        {"AB\x01" "CD", "AB CD", Padded("AB CD")},
        {"AB\xC8" "CD", "AB CD", Padded("AB CD")},
        {std::string("AB\0CD", 5), "AB CD", Padded("AB CD")},
        {"ABC\xFF", "ABC", Padded("ABC")},
        {"\xC8" "ABC", "ABC", Padded("ABC")},
        {"AB\x7F", "AB\x7F", Padded("AB\x7F")},
        {"\t NAME \r\n", "NAME", Padded("NAME")},
        {"", "", std::string(23, ' ') + '\0'},
        {full24, full24, full24},
    };
    for (const auto& [raw, read, written] : cases) {
        SCOPED_TRACE("raw \"" + raw + "\"");
        const BuiltModule built = ModuleBuilder().rows(3).rawName(2, 3, raw).build();
        Module m = Load(built);
        EXPECT_EQ(m.table.name(2, 3), read);
        ASSERT_EQ(Write(m), "");
        EXPECT_EQ(NameAt(m.image.bytes(), built.nameFieldAt(2, 3)), written);
    }
    // Longer names keep their first 24 characters.
    const std::string name25 = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    for (const std::string& name : {name25, name25 + "0123456789", "  " + name25}) {
        const BuiltModule built = ModuleBuilder().rows(2).build();
        Module m = Load(built);
        m.table.name(1, 4) = name;
        ASSERT_EQ(Write(m), "");
        EXPECT_EQ(NameAt(m.image.bytes(), built.nameFieldAt(1, 4)), name25.substr(0, 24));
        EXPECT_EQ(NameAt(m.image.bytes(), built.nameFieldAt(2, 4)), NameAt(built.bytes, built.nameFieldAt(2, 4)));
    }
}

TEST(Codec, ValuesAreWrittenInTheLayoutsWidth)
{
    const std::pair<std::int64_t, std::uint32_t> cases[] = {
        {0, 0}, {4294967295LL, 0xFFFFFFFFu}, {(std::int64_t{1} << 32) + 5, 5}, {-1, 0xFFFFFFFFu},
        {-488354832, 0xE2E44BF0u}, {INT64_MIN, 0}, {INT64_MAX, 0xFFFFFFFFu},
    };
    for (const auto& [value, stdWord] : cases) {
        for (bool isNew : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "value " << value << " new " << isNew);
            const BuiltModule built = ModuleBuilder().rows(3).newLayout(isNew).build();
            Module m = Load(built);
            m.table.value(2, 5) = value;
            ASSERT_EQ(Write(m), "");
            if (isNew) {
                EXPECT_EQ(LE(m.image.bytes(), built.newValueAt(2, 5, 3), 8), static_cast<std::uint64_t>(value));
            } else {
                EXPECT_EQ(LE(m.image.bytes(), built.stdValueAt(2, 5), 4), stdWord);
            }
            // STD words read back widened without sign, NEW values as stored.
            ReadModelList(m.image, m.directory, m.layout, m.table);
            EXPECT_EQ(m.table.value(2, 5), isNew ? value : std::int64_t{stdWord});
        }
    }
}

// Also proves the builder: its modules read back with its defaults, and its
// checksum is the one the editor computes.
TEST(Codec, EditsLandInTheirOwnFieldsOnly)
{
    // Rows past 11 are neither read nor written; NEW values keep the
    // module's own row count as stride.
    for (bool royl : {true, false}) {
        for (bool isNew : {false, true}) {
            for (int rows : {1, 4, 11, 12, 13}) {
                SCOPED_TRACE(::testing::Message() << "royl " << royl << " new " << isNew << " rows " << rows);
                ModuleBuilder original = Form(royl);
                original.rows(rows).newLayout(isNew).tail(static_cast<std::size_t>(rows % 4));
                Module m = Load(original.build());
                EXPECT_EQ(m.layout.rowsPerFormat, rows);
                EXPECT_EQ(m.layout.isNew, isNew);
                ModuleBuilder edited = original;
                for (int f = 1; f <= kFormats; ++f) {
                    for (int r = 1; r <= std::min(rows, kTableRows); ++r) {
                        EXPECT_EQ(m.table.name(r, f), ModuleBuilder::defaultName(r, f));
                        EXPECT_EQ(m.table.value(r, f), original.defaultValue(r, f));
                        const std::string name = "EDIT " + std::to_string(f) + "/" + std::to_string(r);
                        const std::int64_t value = (isNew ? -(std::int64_t{1} << 40) : 3000000000LL) + 100 * f + r;
                        m.table.name(r, f) = name;
                        m.table.value(r, f) = value;
                        edited.name(r, f, name).value(r, f, value);
                    }
                }
                ASSERT_EQ(Write(m), "");
                UpdateChecksum(m.image);
                EXPECT_EQ(m.image.bytes(), edited.build().bytes);
            }
        }
    }
}

TEST(Codec, UnsafeBlocksAreRefusedAndNothingIsWritten)
{
    const BuiltModule plain = ModuleBuilder().build();  // ROYL, rows 4, 12 entries
    const auto size = static_cast<std::uint32_t>(plain.bytes.size());
    const std::uint32_t header = plain.headerSize;
    struct Case {
        const char* what;
        std::function<void(ModuleBuilder&)> setup;
        const char* refusal;  // a word of the reason; nullptr when accepted
        bool markerAtEnd = false;
    };
    const Case cases[] = {
        {"plain STD", [](ModuleBuilder&) {}, nullptr},
        {"plain NEW", [](ModuleBuilder& b) { b.newLayout(); }, nullptr},
        {"11 entries: entry 11 falls on offset 0", [](ModuleBuilder& b) { b.entryCount(11); }, "header"},
        {"11 entries NEW", [](ModuleBuilder& b) { b.newLayout().entryCount(11); }, nullptr},
        {"6 entries NEW: entry 6 read from the header", [](ModuleBuilder& b) { b.newLayout().entryCount(6); },
         "header"},
        {"11 entries, no rows", [](ModuleBuilder& b) { b.entryCount(11).rows(0); }, nullptr},
        {"name block in header", [&](ModuleBuilder& b) { b.entry(3, 20, 96); }, "header"},
        {"name block at the header's last byte", [&](ModuleBuilder& b) { b.entry(0, header - 1, 96); }, "header"},
        {"name block right after header", [&](ModuleBuilder& b) { b.entry(0, header, 96); }, nullptr},
        {"name blocks overlap", [&](ModuleBuilder& b) { b.entry(3, plain.blockOffset[2] + 24, 96); }, "overlap"},
        {"value blocks overlap", [&](ModuleBuilder& b) { b.entry(7, plain.blockOffset[6] + 4, 16); }, "overlap"},
        {"value block past end", [&](ModuleBuilder& b) { b.entry(8, size - 15, 16); }, "past the end"},
        {"value block up to end", [&](ModuleBuilder& b) { b.entry(8, size - 16, 16); }, nullptr},
        {"name block far away", [&](ModuleBuilder& b) { b.entry(1, 0xFFFFFFF0u, 96); }, "past the end"},
        // Declared sizes are not consulted: the rows are what a drive reads.
        {"name block declared too small", [&](ModuleBuilder& b) { b.entry(2, plain.blockOffset[2], 95); }, nullptr},
        {"value block declared too small", [&](ModuleBuilder& b) { b.entry(11, plain.blockOffset[11], 15); }, nullptr},
        {"NEW ignores value entries", [&](ModuleBuilder& b) { b.newLayout().entry(7, 0, 0).entry(11, ~0u, 1); },
         nullptr},
        {"NEW without marker", [](ModuleBuilder& b) { b.newLayout().withMarker(false); }, "no NEW value block marker"},
        {"NEW marker at the very end", [](ModuleBuilder& b) { b.newLayout(); }, "past the end", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModuleBuilder builder;
        c.setup(builder);
        BuiltModule built = builder.build();
        if (c.markerAtEnd)
            built.bytes.insert(built.bytes.end(), kMarker.begin(), kMarker.end());
        Module m = Open(built);
        for (int f = 1; f <= kFormats; ++f) {
            for (int r = 1; r <= kTableRows; ++r) {
                m.table.name(r, f) = "OVERWRITE " + std::to_string(10 * f + r);
                m.table.value(r, f) = -(10 * f + r);
            }
        }
        const std::string reason = Write(m);
        if (c.refusal) {
            EXPECT_NE(reason.find(c.refusal), std::string::npos) << reason;
            EXPECT_EQ(m.image.bytes(), built.bytes);
        } else {
            EXPECT_EQ(reason, "");
            EXPECT_EQ(m.image.size(), static_cast<std::int64_t>(built.bytes.size()));
        }
    }
}

TEST(Codec, ReadingANewBlockThatIsNotThereIsAReadError)
{
    BuiltModule noMarker = ModuleBuilder().newLayout().withMarker(false).build();
    BuiltModule atEnd = ModuleBuilder().newLayout().build();
    atEnd.bytes.insert(atEnd.bytes.end(), kMarker.begin(), kMarker.end());
    for (const BuiltModule* built : {&noMarker, &atEnd}) {
        Module m = Open(*built);
        EXPECT_TRUE(m.layout.isNew);
        EXPECT_EQ(m.layout.newBlockOffset, built == &noMarker ? -1 : static_cast<int>(built->bytes.size() + 64));
        EXPECT_PLATFORM_ERROR(ReadModelList(m.image, m.directory, m.layout, m.table), "Stream read error");
    }
}
