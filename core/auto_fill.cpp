#include "auto_fill.h"

#include "capacity.h"

namespace zentab {

namespace {

std::int64_t Wrapping(std::int64_t a, std::int64_t b, bool multiply)
{
    const auto ua = static_cast<std::uint64_t>(a);
    const auto ub = static_cast<std::uint64_t>(b);
    return static_cast<std::int64_t>(multiply ? ua * ub : ua - ub);
}

}  // namespace

void AutoFillTable(ModelTable& table, std::int32_t rows, const AutoInputs& inputs)
{
    if (rows <= 0)
        return;
    const std::int64_t step = FormatStep(inputs.headSize, inputs.divider);
    const std::string suffix = ModelSuffix(inputs.modelTemplate);
    // Rows past the table's 11 have nowhere to go; the module keeps them.
    const int filled = RowsHandled(rows);
    std::int64_t size = inputs.headSize;
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= filled; ++r) {
            const std::int64_t gigabytes = RoundedGigabytes(Wrapping(size, r, true));
            const std::int64_t aligned = AlignedGigabytes(gigabytes, inputs.alignment);
            table.value(r, f) = IdemaLba(aligned);
            table.name(r, f) = ModelName(ModelNumber(aligned), suffix);
        }
        size = Wrapping(size, step, false);
    }
}

std::vector<ModelRow> FromHeadRows(std::int64_t perHeadSize, std::int32_t rows, std::int32_t alignment,
                                   const std::string& modelTemplate)
{
    const std::string suffix = ModelSuffix(modelTemplate);
    std::vector<ModelRow> result;
    for (int r = 1; r <= rows && r <= kShownRows; ++r) {
        const std::int64_t gigabytes = RoundedGigabytes(Wrapping(perHeadSize, r, true));
        const auto aligned = static_cast<std::int32_t>(AlignedGigabytes(gigabytes, alignment));
        const auto number = static_cast<std::int32_t>(
            aligned < 1000 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(aligned) * 10u) : aligned / 100);
        result.push_back({ModelName(number, suffix), IdemaLba(aligned)});
    }
    return result;
}

}  // namespace zentab
