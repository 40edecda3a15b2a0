// Seeds for the load-path fuzzer, synthesised like every test module.

#include "module_builder.h"

#include <cstdio>
#include <filesystem>

using zentab::testkit::ModuleBuilder;
using zentab::testkit::WriteFileBytes;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    int n = 0;
    auto put = [&](const ModuleBuilder& builder) {
        WriteFileBytes((folder / ("seed-" + std::to_string(n++))).string(), builder.build().bytes);
    };
    for (bool legacy : {false, true}) {
        for (bool isNew : {false, true}) {
            for (int rows : {0, 1, 4, 11, 12}) {
                ModuleBuilder b;
                if (legacy)
                    b.legacy();
                put(b.rows(rows).newLayout(isNew).tail(rows % 4));
            }
        }
    }
    put(ModuleBuilder().entryCount(6));
    put(ModuleBuilder().entryCount(200));
    put(ModuleBuilder().moduleId(13));
    put(ModuleBuilder().withMarker());
    return 0;
}
