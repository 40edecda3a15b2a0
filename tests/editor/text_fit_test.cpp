// The font choice against the rule it keeps, worked out the long way: every
// size from the largest down, every usable family at each. Fake faces whose
// widths scale with the pixel size, rounded and off by up to a pixel as
// hinting leaves them; the choice must match and load few faces.

#include "text_fit.h"

#include <gtest/gtest.h>

#include <bitset>
#include <cstdint>
#include <set>
#include <tuple>

namespace {

using zentab::editor::FontChoice;
using zentab::editor::FontRole;

struct FakeFaces {
    std::uint32_t seed;
    unsigned usableMask;  // bit i: the description's family i is installed

    bool usable(const std::string& family) const
    {
        const auto& families = zentab::editor::EditorWindow().fontFamilies;
        for (std::size_t i = 0; i < families.size(); ++i) {
            if (families[i] == family)
                return (usableMask >> i) & 1;
        }
        return false;
    }

    // Hundredths of a pixel per pixel of size and character, per family.
    int perMille(const FontChoice& font) const
    {
        return 480 + int((std::hash<std::string>{}(font.family) ^ seed) % 160) + (font.bold ? 40 : 0);
    }

    int width(const FontChoice& font, const std::string& text) const
    {
        const std::int64_t exact = std::int64_t(text.size()) * font.pixels * perMille(font);
        const std::size_t hinted = std::hash<std::string>{}(text + font.family) ^ (seed * 31u + unsigned(font.pixels));
        return int((exact + 999) / 1000) + int(hinted % 2);
    }
};

FontChoice ByTheRule(FontRole role, int dpi, const FakeFaces& faces, const std::string& separator)
{
    const auto& window = zentab::editor::EditorWindow();
    const int base = role == FontRole::SizeText ? window.sizeFontPixels : window.windowFontPixels;
    const bool bold = role == FontRole::SizeText && window.sizeFontBold;
    const auto scaled = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    std::vector<std::string> families;
    for (const std::string& family : window.fontFamilies) {
        if (faces.usable(family))
            families.push_back(family);
    }
    if (families.empty())
        families.emplace_back();
    for (int pixels = base; pixels * 4 >= base * 3; --pixels) {
        for (const std::string& family : families) {
            const FontChoice font{family, scaled(pixels), bold};
            bool fits = true;
            for (const auto& fit : zentab::editor::TextsToFit(role, separator)) {
                for (const std::string& text : fit.texts)
                    fits = fits && faces.width(font, text) <= scaled(fit.room);
            }
            if (fits)
                return font;
        }
    }
    return {families.front(), scaled(base), bold};
}

TEST(TextFit, ChoosesAsTheRuleLoadingFewFaces)
{
    const std::size_t familyCount = zentab::editor::EditorWindow().fontFamilies.size();
    int stepsDown = 0;
    for (std::uint32_t seed = 0; seed < 24; ++seed) {
        for (unsigned mask = 0; mask < (1u << familyCount); mask += 3) {
            for (const int dpi : {96, 120, 144, 192}) {
                for (const FontRole role : {FontRole::Window, FontRole::SizeText}) {
                    const FakeFaces faces{seed, mask};
                    std::set<std::tuple<std::string, int, bool>> loaded;
                    const FontChoice chosen = zentab::editor::ChooseFont(
                        role, dpi, [&](const std::string& family) { return faces.usable(family); },
                        [&](const FontChoice& font, const std::string& text) {
                            loaded.emplace(font.family, font.pixels, font.bold);
                            return faces.width(font, text);
                        },
                        ",");
                    const FontChoice expected = ByTheRule(role, dpi, faces, ",");
                    const std::string where = "seed " + std::to_string(seed) + ", families " + std::to_string(mask) +
                                              ", " + std::to_string(dpi) + " dpi";
                    EXPECT_EQ(chosen.family, expected.family) << where;
                    EXPECT_EQ(chosen.pixels, expected.pixels) << where;
                    EXPECT_EQ(chosen.bold, expected.bold) << where;
                    const std::size_t faces96 = std::max<std::size_t>(1, std::bitset<32>(mask).count());
                    // A face: the check of the size above the choice so far,
                    // its own size, the confirmation; a hinted pixel may fail
                    // that once or twice.
                    EXPECT_LE(loaded.size(), 3 * faces96 + 2) << where;
                    const auto& window = zentab::editor::EditorWindow();
                    const int base = role == FontRole::SizeText ? window.sizeFontPixels : window.windowFontPixels;
                    stepsDown += expected.pixels < (base * dpi + 48) / 96;
                }
            }
        }
    }
    // The fakes must make the smaller sizes matter, or the table tests nothing.
    EXPECT_GT(stepsDown, 100);
}

}  // namespace
