#pragma once
// Capacity arithmetic: the IDEMA rule between decimal gigabytes and maximum
// LBA, the model numbers drive makers derive from a capacity, and the short
// size text shown beside a value. All arithmetic is signed 64-bit and wraps
// instead of trapping on overflow; division by zero raises "Division by zero".

#include <cstdint>
#include <string>

namespace zentab {

constexpr std::int64_t kSectorsPerGigabyte = 1953504;
constexpr std::int64_t kIdemaExtraSectors = 21168;
constexpr std::int64_t kFormatGranule = 1008;

std::int64_t IdemaLba(std::int64_t gigabytes);
// Nearest whole number of decimal gigabytes in a count of 512-byte sectors.
std::int64_t RoundedGigabytes(std::int64_t sectors);
std::int64_t AlignedGigabytes(std::int64_t gigabytes, std::int64_t alignment);
std::int64_t ModelNumber(std::int64_t alignedGigabytes);
std::string ModelSuffix(const std::string& modelTemplate);
std::string ModelName(std::int64_t modelNumber, const std::string& suffix);
std::int64_t FormatStep(std::int64_t headSize, std::int64_t divider);
std::int64_t AlignDown1008(std::int64_t value);

// Truncating division that raises "Division by zero" and wraps the one
// quotient that overflows.
std::int64_t DivideTruncating(std::int64_t dividend, std::int64_t divisor);

// Short human-readable size of count units of unitSize bytes: empty for 0,
// then thousands of bytes, M, G, T (one decimal) or P (two decimals).
std::string SizeText(std::int64_t count, std::uint32_t unitSize, const std::string& decimalSeparator = ".");

}  // namespace zentab
