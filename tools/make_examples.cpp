// Writes a few synthesised model-list modules for a first try of the editor.

#include "file_layer.h"
#include "module_builder.h"

#include <cstdio>
#include <exception>
#include <filesystem>

using zentab::testkit::ModuleBuilder;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples FOLDER\n");
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
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_examples: %s\n", error.what());
        return 1;
    }
    return 0;
}
