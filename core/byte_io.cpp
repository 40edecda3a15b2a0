#include "byte_io.h"

namespace zentab {

namespace {

template <int N>
std::uint64_t ReadLittleEndian(ModuleImage& image)
{
    std::uint8_t bytes[N];
    image.read(bytes, N);
    std::uint64_t value = 0;
    for (int i = N - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

template <int N>
void WriteLittleEndian(ModuleImage& image, std::uint64_t value)
{
    std::uint8_t bytes[N];
    for (int i = 0; i < N; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    image.write(bytes, N);
}

}  // namespace

std::uint8_t ReadByte(ModuleImage& image) { return static_cast<std::uint8_t>(ReadLittleEndian<1>(image)); }
std::uint16_t ReadWord(ModuleImage& image) { return static_cast<std::uint16_t>(ReadLittleEndian<2>(image)); }
std::uint32_t ReadDWord(ModuleImage& image) { return static_cast<std::uint32_t>(ReadLittleEndian<4>(image)); }
std::uint64_t ReadQWord(ModuleImage& image) { return ReadLittleEndian<8>(image); }

void WriteByte(ModuleImage& image, std::uint8_t value) { WriteLittleEndian<1>(image, value); }
void WriteDWord(ModuleImage& image, std::uint32_t value) { WriteLittleEndian<4>(image, value); }
void WriteQWord(ModuleImage& image, std::uint64_t value) { WriteLittleEndian<8>(image, value); }

}  // namespace zentab
