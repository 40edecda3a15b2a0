#pragma once
// The whole module file held in memory, with a read/write position. Reads are
// checked, seeks are not: a position past the end or below zero is allowed and
// simply makes the next read fail.

#include "errors.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zentab {

// A read past the end of the image. Its text is "Stream read error", as the
// window shows it; the command line also says where the module ended.
class StreamReadError : public PlatformError {
public:
    StreamReadError(std::int64_t at, std::int64_t size) : PlatformError("Stream read error"), at(at), size(size) {}
    std::int64_t at;    // where the read began
    std::int64_t size;  // the image's size
};

class ModuleImage {
public:
    // Larger files are refused at load: a model-list module is a few
    // kilobytes, and a disk image picked by mistake must not exhaust memory.
    static constexpr std::int64_t kMaxFileSize = std::int64_t{256} << 20;

    void clear();
    void loadFromFile(const std::filesystem::path& path);
    // As WriteWholeFile: throws on failure, returns a warning or nothing.
    std::string saveToFile(const std::filesystem::path& path) const;

    std::int64_t size() const { return static_cast<std::int64_t>(bytes_.size()); }
    std::int64_t position() const { return position_; }
    void seek(std::int64_t position) { position_ = position; }

    // Copies exactly count bytes and advances; StreamReadError otherwise.
    void read(void* out, std::size_t count);
    // Copies count bytes and advances; grows the image when writing past the end.
    void write(const void* in, std::size_t count);

    const std::uint8_t* data() const { return bytes_.data(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    void assign(std::vector<std::uint8_t> bytes);
    // Hands the contents over, leaving the image empty.
    std::vector<std::uint8_t> takeBytes();

    // Changes whenever the contents are replaced or emptied as a whole.
    std::uint64_t generation() const { return generation_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace zentab
