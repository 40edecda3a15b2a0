#include "case_fold.h"

#include "system_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace zentab {

namespace {

// Runs of capitals and where they fold to, from Unicode's simple case
// folding: either each code point of the run moves by delta, or (pairs)
// the run alternates capital and small letter, starting with a capital.
struct Run {
    std::uint16_t first;
    std::uint16_t last;
    std::int32_t delta;
    bool pairs;
};

constexpr Run kRuns[] = {
    {0x0041, 0x005A, 32, false},    {0x00B5, 0x00B5, 775, false},   {0x00C0, 0x00D6, 32, false},
    {0x00D8, 0x00DE, 32, false},    {0x0100, 0x012F, 1, true},      {0x0132, 0x0137, 1, true},
    {0x0139, 0x0148, 1, true},      {0x014A, 0x0177, 1, true},      {0x0178, 0x0178, -121, false},
    {0x0179, 0x017E, 1, true},      {0x017F, 0x017F, -268, false},  {0x0181, 0x0181, 210, false},
    {0x0182, 0x0185, 1, true},      {0x0186, 0x0186, 206, false},   {0x0187, 0x0187, 1, false},
    {0x0189, 0x018A, 205, false},   {0x018B, 0x018B, 1, false},     {0x018E, 0x018E, 79, false},
    {0x018F, 0x018F, 202, false},   {0x0190, 0x0190, 203, false},   {0x0191, 0x0191, 1, false},
    {0x0193, 0x0193, 205, false},   {0x0194, 0x0194, 207, false},   {0x0196, 0x0196, 211, false},
    {0x0197, 0x0197, 209, false},   {0x0198, 0x0198, 1, false},     {0x019C, 0x019C, 211, false},
    {0x019D, 0x019D, 213, false},   {0x019F, 0x019F, 214, false},   {0x01A0, 0x01A5, 1, true},
    {0x01A7, 0x01A7, 1, false},     {0x01A9, 0x01A9, 218, false},   {0x01AC, 0x01AC, 1, false},
    {0x01AE, 0x01AE, 218, false},   {0x01AF, 0x01AF, 1, false},     {0x01B1, 0x01B2, 217, false},
    {0x01B3, 0x01B6, 1, true},      {0x01B7, 0x01B7, 219, false},   {0x01B8, 0x01B8, 1, false},
    {0x01BC, 0x01BC, 1, false},     {0x01C4, 0x01C4, 2, false},     {0x01C5, 0x01C5, 1, false},
    {0x01C7, 0x01C7, 2, false},     {0x01C8, 0x01C8, 1, false},     {0x01CA, 0x01CA, 2, false},
    {0x01CB, 0x01DC, 1, true},      {0x01DE, 0x01EF, 1, true},      {0x01F1, 0x01F1, 2, false},
    {0x01F2, 0x01F5, 1, true},      {0x01F6, 0x01F6, -97, false},   {0x01F7, 0x01F7, -56, false},
    {0x01F8, 0x021F, 1, true},      {0x0220, 0x0220, -130, false},  {0x0222, 0x0233, 1, true},
    {0x023B, 0x023B, 1, false},     {0x0241, 0x0241, 1, false},     {0x0246, 0x024F, 1, true},
    {0x0345, 0x0345, 116, false},   {0x0370, 0x0373, 1, true},      {0x0376, 0x0376, 1, false},
    {0x037F, 0x037F, 116, false},   {0x0386, 0x0386, 38, false},    {0x0388, 0x038A, 37, false},
    {0x038C, 0x038C, 64, false},    {0x038E, 0x038F, 63, false},    {0x0391, 0x03A1, 32, false},
    {0x03A3, 0x03AB, 32, false},    {0x03C2, 0x03C2, 1, false},     {0x03CF, 0x03CF, 8, false},
    {0x03D0, 0x03D0, -30, false},   {0x03D1, 0x03D1, -25, false},   {0x03D5, 0x03D5, -15, false},
    {0x03D6, 0x03D6, -22, false},   {0x03D8, 0x03EF, 1, true},      {0x03F0, 0x03F0, -54, false},
    {0x03F1, 0x03F1, -48, false},   {0x03F4, 0x03F4, -60, false},   {0x03F5, 0x03F5, -64, false},
    {0x03F7, 0x03F7, 1, false},     {0x03F9, 0x03F9, -7, false},    {0x03FA, 0x03FA, 1, false},
    {0x03FD, 0x03FF, -130, false},  {0x0400, 0x040F, 80, false},    {0x0410, 0x042F, 32, false},
    {0x0460, 0x0481, 1, true},      {0x048A, 0x04BF, 1, true},      {0x04C0, 0x04C0, 15, false},
    {0x04C1, 0x04CE, 1, true},      {0x04D0, 0x052F, 1, true},      {0x0531, 0x0556, 48, false},
    {0x10A0, 0x10C5, 7264, false},  {0x10C7, 0x10C7, 7264, false},  {0x10CD, 0x10CD, 7264, false},
    {0x13F8, 0x13FD, -8, false},    {0x1C90, 0x1CBA, -3008, false}, {0x1CBD, 0x1CBF, -3008, false},
    {0x1E00, 0x1E95, 1, true},      {0x1E9B, 0x1E9B, -58, false},   {0x1E9E, 0x1E9E, -7615, false},
    {0x1EA0, 0x1EFF, 1, true},      {0x1F08, 0x1F0F, -8, false},    {0x1F18, 0x1F1D, -8, false},
    {0x1F28, 0x1F2F, -8, false},    {0x1F38, 0x1F3F, -8, false},    {0x1F48, 0x1F4D, -8, false},
    {0x1F59, 0x1F59, -8, false},    {0x1F5B, 0x1F5B, -8, false},    {0x1F5D, 0x1F5D, -8, false},
    {0x1F5F, 0x1F5F, -8, false},    {0x1F68, 0x1F6F, -8, false},    {0x1F88, 0x1F8F, -8, false},
    {0x1F98, 0x1F9F, -8, false},    {0x1FA8, 0x1FAF, -8, false},    {0x1FB8, 0x1FB9, -8, false},
    {0x1FBA, 0x1FBB, -74, false},   {0x1FBC, 0x1FBC, -9, false},    {0x1FBE, 0x1FBE, -7173, false},
    {0x1FC8, 0x1FCB, -86, false},   {0x1FCC, 0x1FCC, -9, false},    {0x1FD8, 0x1FD9, -8, false},
    {0x1FDA, 0x1FDB, -100, false},  {0x1FE8, 0x1FE9, -8, false},    {0x1FEA, 0x1FEB, -112, false},
    {0x1FEC, 0x1FEC, -7, false},    {0x1FF8, 0x1FF9, -128, false},  {0x1FFA, 0x1FFB, -126, false},
    {0x1FFC, 0x1FFC, -9, false},    {0x2126, 0x2126, -7517, false}, {0x212A, 0x212A, -8383, false},
    {0x212B, 0x212B, -8262, false}, {0x2132, 0x2132, 28, false},    {0x2160, 0x216F, 16, false},
    {0x2183, 0x2183, 1, false},     {0x24B6, 0x24CF, 26, false},    {0x2C00, 0x2C2F, 48, false},
    {0x2C60, 0x2C60, 1, false},     {0x2C67, 0x2C6C, 1, true},      {0x2C72, 0x2C72, 1, false},
    {0x2C75, 0x2C75, 1, false},     {0x2C80, 0x2CE3, 1, true},      {0x2CEB, 0x2CEE, 1, true},
    {0x2CF2, 0x2CF2, 1, false},     {0xA640, 0xA66D, 1, true},      {0xA680, 0xA69B, 1, true},
    {0xA722, 0xA72F, 1, true},      {0xA732, 0xA76F, 1, true},      {0xA779, 0xA77C, 1, true},
    {0xA77E, 0xA787, 1, true},      {0xA78B, 0xA78B, 1, false},     {0xA790, 0xA793, 1, true},
    {0xA796, 0xA7A9, 1, true},      {0xAB70, 0xABBF, -38864, false}, {0xFF21, 0xFF3A, 32, false},
};

std::uint32_t Fold(std::uint32_t code)
{
    const auto after = std::upper_bound(std::begin(kRuns), std::end(kRuns), code,
                                        [](std::uint32_t c, const Run& run) { return c < run.first; });
    if (after == std::begin(kRuns))
        return code;
    const Run& run = *std::prev(after);
    if (code > run.last || (run.pairs && (code - run.first) % 2 != 0))
        return code;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(code) + run.delta);
}

// The length of the well-formed sequence at text[i] and its code point;
// 0 where none starts there.
std::size_t Decode(const std::string& text, std::size_t i, std::uint32_t& code)
{
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = 0;
    std::uint32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0F, least = 0x800;
    else
        return 0;  // beyond the plane, or not a lead byte: left as it is
    if (text.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<std::uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (next & 0x3F);
    }
    return code < least || (code >= 0xD800 && code <= 0xDFFF) ? 0 : length;
}

}  // namespace

std::string FoldCase(const std::string& text)
{
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t code = 0;
        const std::size_t length = Decode(text, i, code);
        if (length == 0) {
            folded += text[i++];
            continue;
        }
        AppendUtf8(Fold(code), folded);
        i += length;
    }
    return folded;
}

}  // namespace zentab
