#pragma once
// Model lists computed from head sizes: Auto fills every Format from the
// size of head 0, each Format after Main assuming heads one format step
// smaller; From Head recomputes the Main rows from one head's size.

#include "module_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentab {

struct AutoInputs {
    std::int64_t headSize = 0;
    std::int32_t divider = 15;
    std::int32_t alignment = 50;
    std::string modelTemplate = "WDC WD20EARS-00MVWB0";
};

// Rewrites names and values of rows 1..rows (at most the table's 11) of all
// six Formats. Raises "Division by zero" for a divider or alignment of 0
// before any cell is written; does nothing for rows <= 0.
void AutoFillTable(ModelTable& table, std::int32_t rows, const AutoInputs& inputs);

struct ModelRow {
    std::string name;
    std::int64_t value = 0;
};

// Main rows 1..min(rows, 10) for a per-head size, aligned gigabytes and
// model number held in 32 bits.
std::vector<ModelRow> FromHeadRows(std::int64_t perHeadSize, std::int32_t rows, std::int32_t alignment,
                                   const std::string& modelTemplate);

}  // namespace zentab
