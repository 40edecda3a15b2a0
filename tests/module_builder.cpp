#include "module_builder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zentab::testkit {

namespace {

constexpr std::uint8_t kGapFill = 0xCC;
constexpr std::size_t kGap = 8;

void PutLE(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int width)
{
    if (bytes.size() < at + static_cast<std::size_t>(width))
        bytes.resize(at + static_cast<std::size_t>(width), kGapFill);
    for (int i = 0; i < width; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Append(std::vector<std::uint8_t>& bytes, std::size_t count, std::uint8_t fill)
{
    bytes.insert(bytes.end(), count, fill);
}

}  // namespace

std::string ModuleBuilder::defaultName(int row, int format)
{
    return "MODEL F" + std::to_string(format) + " R" + std::to_string(row);
}

std::int64_t ModuleBuilder::defaultValue(int row, int format) const
{
    // NEW values do not fit 32 bits, so a mix-up of the layouts shows.
    const std::int64_t base = 1000000LL * format + 1008LL * row;
    return new_ ? base + (std::int64_t{1} << 33) : base;
}

BuiltModule ModuleBuilder::build() const
{
    BuiltModule m;
    std::vector<std::uint8_t>& b = m.bytes;
    const std::size_t countAt = royl_ ? 48 : 24;
    m.headerSize = static_cast<std::uint32_t>(countAt + 4 + 8 * static_cast<std::size_t>(entryCount_));

    // Header fields that nothing interprets carry a pattern of their own.
    for (std::size_t i = 0; i < m.headerSize; ++i)
        b.push_back(static_cast<std::uint8_t>(0x40 + i % 32));
    if (royl_) {
        PutLE(b, 0, 0x4C594F52, 4);
        PutLE(b, 8, moduleId_, 2);
        PutLE(b, 12, 0, 4);
    } else {
        PutLE(b, 3, 0, 1);
        PutLE(b, 4, moduleId_, 1);
    }
    PutLE(b, countAt, (std::uint64_t{countHigh_} << 8) | static_cast<std::uint8_t>(entryCount_), 4);

    const int rows = rows_ < 0 ? 0 : rows_;
    for (int block : order_) {
        Append(b, gaps_[static_cast<std::size_t>(block)], kGapFill);
        m.blockOffset[static_cast<std::size_t>(block)] = static_cast<std::uint32_t>(b.size());
        if (block < 6) {
            const int f = block + 1;
            for (int r = 1; r <= rows; ++r) {
                std::string field;
                if (auto raw = raw_.find({r, f}); raw != raw_.end()) {
                    field = raw->second;
                } else {
                    auto named = names_.find({r, f});
                    field = named != names_.end() ? named->second : defaultName(r, f);
                    if (field.size() < 23)
                        field.resize(23, ' ');
                }
                field.resize(24, '\0');
                b.insert(b.end(), field.begin(), field.end());
            }
        } else {
            const int f = block - 5;
            for (int r = 1; r <= rows; ++r) {
                std::uint32_t word = 0;
                if (!new_) {
                    auto v = values_.find({r, f});
                    word = static_cast<std::uint32_t>(v != values_.end() ? v->second : defaultValue(r, f));
                }
                PutLE(b, b.size(), word, 4);
            }
        }
    }

    // Odd tails go before the marker so that it stays a multiple of 8 bytes
    // below the end, where the search looks.
    auto appendTail = [&] {
        for (std::size_t i = 0; i < tail_; ++i)
            b.push_back(static_cast<std::uint8_t>(0x80 + i % 64));
    };
    const bool withMarker = marker_.value_or(new_);
    if (withMarker)
        appendTail();
    if (withMarker) {
        Append(b, kGap, kGapFill);
        m.markerOffset = static_cast<std::int64_t>(b.size());
        const std::uint8_t marker[8] = {0x20, 0x20, 0x20, 0x20, 0, 0, 0, 0};
        b.insert(b.end(), marker, marker + 8);
        Append(b, 64, kGapFill);
        m.newBlockOffset = static_cast<std::int64_t>(b.size());
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= rows; ++r) {
                auto v = values_.find({r, f});
                const std::int64_t value = v != values_.end() ? v->second : defaultValue(r, f);
                PutLE(b, b.size(), static_cast<std::uint64_t>(value), 8);
            }
        }
    }
    Append(b, 16, kGapFill);
    if (!withMarker)
        appendTail();
    b.insert(b.end(), trailer_.begin(), trailer_.end());

    const std::size_t entriesAt = countAt + 4;
    for (int i = 0; i < entryCount_; ++i) {
        std::uint32_t offset = 0x1000u + 16u * static_cast<std::uint32_t>(i);
        std::uint32_t size = 16;
        if (i < 12) {
            offset = m.blockOffset[static_cast<std::size_t>(i)];
            size = static_cast<std::uint32_t>(rows) * (i < 6 ? 24u : 4u);
        }
        if (auto o = entryOverride_.find(i); o != entryOverride_.end())
            std::tie(offset, size) = o->second;
        PutLE(b, entriesAt + 8 * static_cast<std::size_t>(i), offset, 4);
        PutLE(b, entriesAt + 8 * static_cast<std::size_t>(i) + 4, size, 4);
    }

    if (royl_) {
        PutLE(b, 12, 0u - RoylWordSum(b) + (goodChecksum_ ? 0u : 1u), 4);
    } else {
        PutLE(b, 3, static_cast<std::uint8_t>(0u - LegacyByteSum(b) + (goodChecksum_ ? 0u : 1u)), 1);
    }
    return m;
}

std::uint64_t LE(const std::vector<std::uint8_t>& bytes, std::size_t at, int width)
{
    std::uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = v << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return v;
}

std::string NameAt(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::string(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + 24));
}

std::uint32_t RoylWordSum(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
        sum += std::uint32_t{bytes[i]} | std::uint32_t{bytes[i + 1]} << 8 | std::uint32_t{bytes[i + 2]} << 16 |
               std::uint32_t{bytes[i + 3]} << 24;
    return sum;
}

std::uint8_t LegacyByteSum(const std::vector<std::uint8_t>& bytes)
{
    std::uint8_t sum = 0;
    for (std::uint8_t byte : bytes)
        sum = static_cast<std::uint8_t>(sum + byte);
    return sum;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace zentab::testkit
