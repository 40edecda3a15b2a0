#include "module_json.h"

#include "container.h"
#include "json_text.h"
#include "latin1_text.h"
#include "model_codec.h"

#include <nlohmann/json.hpp>

namespace zentab::cli {

// Every number goes in as a 64-bit integer and is written digit for digit,
// so LBAs above 2^53 stay exact (a double would round them).
std::string ModuleJson(const LoadedModule& loaded)
{
    using nlohmann::json;
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);

    json directory = json::array();
    for (int i = 0; i < 12; ++i)
        directory.push_back(
            json::array({std::int64_t{m.directory[i].offset}, std::int64_t{m.directory[i].size}}));

    json formats = json::array();
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        json cells = json::array();
        for (int r = 1; r <= rows; ++r)
            cells.push_back(json{{"name", Latin1ToUtf8(m.table.name(r, f))}, {"lba", std::int64_t{m.table.value(r, f)}}});
        formats.push_back(json{{"name", FormatName(f)}, {"rows", cells}});
    }

    const json root{
        {"form", loaded.royl ? "ROYL" : "legacy"},
        {"module_id", std::int64_t{loaded.moduleId}},
        {"entry_count", std::int64_t{m.directory.count}},
        {"directory", directory},
        {"layout", m.layout.isNew ? "NEW" : "STD"},
        {"rows", std::int64_t{m.layout.rowsPerFormat}},
        {"new_block_offset", std::int64_t{m.layout.newBlockOffset}},
        {"checksum",
         {{"stored", std::int64_t{checksum.stored}},
          {"computed", std::int64_t{checksum.computed}},
          {"valid", checksum.stored == checksum.computed}}},
        {"formats", formats},
    };
    return IndentedJson(root);
}

}  // namespace zentab::cli
