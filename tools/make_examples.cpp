// Writes a few synthesised model-list modules for a first try of the editor;
// with --random COUNT SEED, COUNT random ones as well, for comparing the
// tool's builds with each other on modules nobody chose.

#include "file_layer.h"
#include "module_builder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <random>
#include <string>

using zentab::testkit::ModuleBuilder;

namespace {

// Both forms and layouts, 1 to 11 rows, blocks in any order with gaps, names
// of any bytes, values over the whole 64-bit range with FF..FF and the block
// marker's neighbours, bytes after the last block.
ModuleBuilder RandomModule(std::mt19937_64& random)
{
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); };
    ModuleBuilder b;
    if (below(2))
        b.legacy();
    const bool isNew = below(2);
    const int rows = 1 + below(11);
    b.rows(rows).newLayout(isNew).entryCount(isNew ? 7 + below(6) : 12);
    std::array<int, 12> order{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::shuffle(order.begin(), order.end(), random);
    std::array<std::size_t, 12> gaps{};
    for (std::size_t& gap : gaps)
        gap = static_cast<std::size_t>(below(20));
    b.blockOrder(order).blockGaps(gaps);
    const std::int64_t special[] = {-1, 0, 0x2020201F, 0x20202021, 0xFFFFFFFF, 0x100000000};
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= rows; ++r) {
            std::string name(static_cast<std::size_t>(below(25)), ' ');
            for (char& c : name)
                c = static_cast<char>(below(6) == 0 ? below(256) : 32 + below(95));
            std::int64_t value = below(4) == 0 ? special[below(6)] : static_cast<std::int64_t>(random());
            if (!isNew)
                value = (f == 1 && r == 1) ? (value | 1) & 0xFFFFFFFF : value & 0xFFFFFFFF;
            b.rawName(r, f, name).value(r, f, value);
        }
    }
    std::vector<std::uint8_t> trailer(static_cast<std::size_t>(below(4) * (isNew ? 8 : 3)));
    for (std::uint8_t& byte : trailer)
        byte = static_cast<std::uint8_t>(below(256));
    return b.trailer(trailer);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool random = argc == 5 && std::string(argv[2]) == "--random";
    if (argc != 2 && !random) {
        std::fprintf(stderr, "usage: make_examples FOLDER [--random COUNT SEED]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const struct {
        const char* name;
        ModuleBuilder module;
    } samples[] = {
        {"royl-std-4rows.bin", ModuleBuilder().rows(4)},
        {"royl-new-10rows.bin", ModuleBuilder().rows(10).newLayout()},
        {"legacy-std-8rows.bin", ModuleBuilder().legacy().rows(8)},
        {"legacy-new-11rows.bin", ModuleBuilder().legacy().rows(11).newLayout()},
    };
    try {
        for (const auto& sample : samples)
            zentab::WriteWholeFile(folder / sample.name, sample.module.build().bytes);
        if (random) {
            std::mt19937_64 engine(std::strtoull(argv[4], nullptr, 10));
            const int count = std::atoi(argv[3]);
            for (int i = 0; i < count; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "random-%03d.bin", i);
                zentab::WriteWholeFile(folder / name, RandomModule(engine).build().bytes);
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_examples: %s\n", error.what());
        return 1;
    }
    return 0;
}
