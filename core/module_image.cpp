#include "module_image.h"

#include "errors.h"
#include "file_layer.h"

#include <cstring>

namespace zentab {

void ModuleImage::clear()
{
    bytes_.clear();
    position_ = 0;
    ++generation_;
}

void ModuleImage::assign(std::vector<std::uint8_t> bytes)
{
    bytes_ = std::move(bytes);
    position_ = 0;
    ++generation_;
}

std::vector<std::uint8_t> ModuleImage::takeBytes()
{
    std::vector<std::uint8_t> bytes;
    bytes.swap(bytes_);
    position_ = 0;
    ++generation_;
    return bytes;
}

void ModuleImage::loadFromFile(const std::filesystem::path& path)
{
    assign(ReadWholeFile(path, kMaxFileSize));
}

std::string ModuleImage::saveToFile(const std::filesystem::path& path) const
{
    return WriteWholeFile(path, bytes_);
}

void ModuleImage::read(void* out, std::size_t count)
{
    const std::int64_t available = position_ < 0 || position_ > size() ? 0 : size() - position_;
    if (static_cast<std::uint64_t>(available) < count)
        throw StreamReadError(position_, size());
    if (count != 0)
        std::memcpy(out, bytes_.data() + position_, count);
    position_ += static_cast<std::int64_t>(count);
}

void ModuleImage::write(const void* in, std::size_t count)
{
    // Writes only ever target blocks the directory check has accepted; a
    // negative position is a programming error that must not corrupt memory.
    if (position_ < 0)
        ThrowStreamReadError();
    const auto end = static_cast<std::uint64_t>(position_) + count;
    if (end > bytes_.size())
        bytes_.resize(end);
    if (count != 0)
        std::memcpy(bytes_.data() + position_, in, count);
    position_ += static_cast<std::int64_t>(count);
}

}  // namespace zentab
