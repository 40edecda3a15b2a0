#pragma once
// Synthesises model-list modules for every test: ROYL or legacy header, any
// module id, entry count and directory, names, STD or NEW values, marker
// placement and odd sizes. Everything not under test has a recognisable
// default, so that a test states only what it changes and can check that
// the bytes around a write stay as they were.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentab::testkit {

struct BuiltModule {
    std::vector<std::uint8_t> bytes;
    std::uint32_t headerSize = 0;
    std::array<std::uint32_t, 12> blockOffset{};  // directory entries 0..11 as built
    std::int64_t markerOffset = -1;
    std::int64_t newBlockOffset = -1;

    std::uint32_t nameFieldAt(int row, int format) const { return blockOffset[format - 1] + 24 * (row - 1); }
    std::uint32_t stdValueAt(int row, int format) const { return blockOffset[format + 5] + 4 * (row - 1); }
    std::int64_t newValueAt(int row, int format, int rows) const
    {
        return newBlockOffset + 8 * ((format - 1) * rows + (row - 1));
    }
};

class ModuleBuilder {
public:
    ModuleBuilder& legacy() { royl_ = false; return *this; }
    ModuleBuilder& royl() { royl_ = true; return *this; }
    ModuleBuilder& moduleId(std::uint16_t id) { moduleId_ = id; return *this; }
    ModuleBuilder& rows(int rows) { rows_ = rows; return *this; }
    ModuleBuilder& newLayout(bool on = true) { new_ = on; return *this; }
    // The entry count byte of the header; 12 by default.
    ModuleBuilder& entryCount(int count) { entryCount_ = count; return *this; }
    // The three bytes of the count word above the count itself.
    ModuleBuilder& countHighBytes(std::uint32_t high) { countHigh_ = high; return *this; }
    // Replaces one directory entry as written in the header.
    ModuleBuilder& entry(int index, std::uint32_t offset, std::uint32_t size)
    {
        entryOverride_[index] = {offset, size};
        return *this;
    }
    ModuleBuilder& name(int row, int format, const std::string& text) { names_[{row, format}] = text; return *this; }
    // A name field given byte for byte (zero-padded to 24).
    ModuleBuilder& rawName(int row, int format, const std::string& bytes) { raw_[{row, format}] = bytes; return *this; }
    ModuleBuilder& value(int row, int format, std::int64_t v) { values_[{row, format}] = v; return *this; }
    // Puts the NEW block and its marker in even when the layout is STD.
    ModuleBuilder& withMarker(bool on = true) { marker_ = on; return *this; }
    // Bytes of filler for odd sizes: at the end, or before the marker.
    ModuleBuilder& tail(std::size_t bytes) { tail_ = bytes; return *this; }
    ModuleBuilder& badChecksum() { goodChecksum_ = false; return *this; }
    // The twelve directory blocks (0..5 names, 6..11 STD values) in this
    // order, each after gaps[block] bytes of filler; by default in directory
    // order, 8 bytes apart.
    ModuleBuilder& blockOrder(const std::array<int, 12>& order) { order_ = order; return *this; }
    ModuleBuilder& blockGaps(const std::array<std::size_t, 12>& gaps) { gaps_ = gaps; return *this; }
    // Bytes after everything else, the NEW block included.
    ModuleBuilder& trailer(std::vector<std::uint8_t> bytes) { trailer_ = std::move(bytes); return *this; }

    BuiltModule build() const;

    static std::string defaultName(int row, int format);
    std::int64_t defaultValue(int row, int format) const;

private:
    bool royl_ = true;
    std::uint16_t moduleId_ = 12;
    int rows_ = 4;
    bool new_ = false;
    std::optional<bool> marker_;
    int entryCount_ = 12;
    std::uint32_t countHigh_ = 0;
    std::map<int, std::pair<std::uint32_t, std::uint32_t>> entryOverride_;
    std::map<std::pair<int, int>, std::string> names_;
    std::map<std::pair<int, int>, std::string> raw_;
    std::map<std::pair<int, int>, std::int64_t> values_;
    std::size_t tail_ = 0;
    bool goodChecksum_ = true;
    std::array<int, 12> order_{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::array<std::size_t, 12> gaps_{8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    std::vector<std::uint8_t> trailer_;
};

// A little-endian number, and a 24-byte name field, as stored at an offset.
std::uint64_t LE(const std::vector<std::uint8_t>& bytes, std::size_t at, int width);
std::string NameAt(const std::vector<std::uint8_t>& bytes, std::size_t at);

// Sum rules of the two checksum forms over a whole image.
std::uint32_t RoylWordSum(const std::vector<std::uint8_t>& bytes);
std::uint8_t LegacyByteSum(const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace zentab::testkit
