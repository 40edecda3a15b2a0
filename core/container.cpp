#include "container.h"

#include "byte_io.h"
#include "errors.h"
#include "pending_messages.h"

#include <chrono>

namespace zentab {

namespace {

constexpr std::uint32_t kRoylChecksumAt = 12;
constexpr std::uint32_t kLegacyChecksumAt = 3;

bool IsRoyl(const ModuleImage& image)
{
    return image.size() >= 4 && LoadDWord(image.data()) == kRoylSignature;
}

// Sums the image in slices so the window gets a chance to repaint about every
// 10 ms while a large image is summed, without paying for a toolkit call per
// byte. The checksum field itself counts as zero.
template <typename Unit, typename Load>
Unit SumUnits(const ModuleImage& image, std::int64_t size, std::size_t unitSize, std::size_t skipAt, Load load)
{
    using Clock = std::chrono::steady_clock;
    constexpr std::size_t kSlice = 1 << 16;
    const std::size_t units = static_cast<std::size_t>(size) / unitSize;
    const auto generation = image.generation();
    // Events run inside the sum; a command that replaced or emptied the image
    // meanwhile must not leave the sum reading freed memory.
    auto checkUnchanged = [&] {
        if (image.generation() != generation || image.size() < size)
            ThrowStreamReadError();
    };
    auto last = Clock::now();
    Unit sum = 0;
    for (std::size_t start = 0; start < units; start += kSlice) {
        checkUnchanged();
        const std::uint8_t* p = image.data();
        const std::size_t end = std::min(units, start + kSlice);
        for (std::size_t u = start; u < end; ++u)
            sum = static_cast<Unit>(sum + load(p + u * unitSize));
        if (start <= skipAt && skipAt < end)
            sum = static_cast<Unit>(sum - load(p + skipAt * unitSize));
        const auto now = Clock::now();
        if (now - last >= std::chrono::milliseconds(10)) {
            ProcessPendingMessages();
            last = Clock::now();
        }
    }
    ProcessPendingMessages();
    checkUnchanged();
    return sum;
}

// Both sums leave out the checksum field itself, as if it held zero.
std::uint32_t RoylSum(const ModuleImage& image, std::int64_t size)
{
    return SumUnits<std::uint32_t>(image, size, 4, kRoylChecksumAt / 4, [](const std::uint8_t* p) { return LoadDWord(p); });
}

std::uint8_t LegacySum(const ModuleImage& image, std::int64_t size)
{
    return SumUnits<std::uint8_t>(image, size, 1, kLegacyChecksumAt, [](const std::uint8_t* p) { return *p; });
}

}  // namespace

std::uint8_t ReadModuleDirectory(ModuleImage& image, ModuleDirectory& directory)
{
    directory.clear();
    image.seek(0);
    const bool royl = ReadDWord(image) == kRoylSignature;
    if (royl) {
        image.seek(8);
        if (ReadWord(image) != kModelListId)
            return 0;
        image.seek(48);
    } else {
        image.seek(4);
        if (ReadByte(image) != kModelListId)
            return 0;
        image.seek(24);
    }
    const auto count = static_cast<std::uint8_t>(ReadDWord(image) & 0xFF);
    directory.count = count;
    directory.headerSize = (royl ? 52u : 28u) + 8u * count;
    for (int i = 0; i < count; ++i) {
        // The header may list up to 255 entries; only the first 128 have a
        // place in the directory, and only the first 12 are ever used. Each
        // field is stored as soon as it is read, so a header cut between an
        // offset and its size keeps that offset.
        const bool kept = i < ModuleDirectory::kEntries;
        const std::uint32_t offset = ReadDWord(image);
        if (kept)
            directory.entries[static_cast<std::size_t>(i)].offset = offset;
        const std::uint32_t size = ReadDWord(image);
        if (kept)
            directory.entries[static_cast<std::size_t>(i)].size = size;
    }
    return count;
}

void UpdateChecksum(ModuleImage& image)
{
    // The sum covers the image as it was when the command started; a ROYL
    // image shorter than its checksum field grows when the field is written.
    const std::int64_t size = image.size();
    image.seek(0);
    if (ReadDWord(image) == kRoylSignature) {
        image.seek(kRoylChecksumAt);
        WriteDWord(image, 0);
        const std::uint32_t sum = RoylSum(image, size);
        image.seek(kRoylChecksumAt);
        WriteDWord(image, 0u - sum);
    } else {
        image.seek(kLegacyChecksumAt);
        WriteByte(image, 0);
        const std::uint8_t sum = LegacySum(image, size);
        image.seek(kLegacyChecksumAt);
        WriteByte(image, static_cast<std::uint8_t>(0u - sum));
    }
    image.seek(0);
}

ChecksumStatus InspectChecksum(const ModuleImage& image)
{
    if (image.size() < 4)
        throw StreamReadError(0, image.size());
    ChecksumStatus status;
    status.royl = IsRoyl(image);
    if (status.royl) {
        status.stored = image.size() >= 16 ? LoadDWord(image.data() + kRoylChecksumAt) : 0;
        status.computed = 0u - RoylSum(image, image.size());
    } else {
        status.stored = image.data()[kLegacyChecksumAt];
        status.computed = static_cast<std::uint8_t>(0u - LegacySum(image, image.size()));
    }
    return status;
}

}  // namespace zentab
