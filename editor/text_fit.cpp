#include "text_fit.h"

#include "capacity.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace zentab::editor {

namespace {

// Frames, margins and buttons around a control's text, at 96 dpi.
constexpr int kButtonMargins = 8;
constexpr int kGroupCaptionMargins = 16;
constexpr int kComboButtonAndMargins = 30;
constexpr int kGap = 2;

// Room of a caption sized to its text: up to the next control to its right
// on its line, or its parent's edge.
int CaptionRoom(ControlId id, int pixels)
{
    const auto& controls = WindowControls();
    const ControlDescription& c = controls[std::size_t(id)];
    int right = c.parent == kNoControl ? EditorWindow().clientWidth : controls[std::size_t(c.parent)].rect.width;
    for (const ControlDescription& other : controls) {
        if (&other == &c || other.parent != c.parent || other.rect.x <= c.rect.x)
            continue;
        const int otherBottom = other.rect.y + std::max(other.rect.height, pixels);
        if (other.rect.y < c.rect.y + pixels && c.rect.y < otherBottom)
            right = std::min(right, other.rect.x);
    }
    return right - c.rect.x - kGap;
}

std::vector<std::string> WidestSizeTexts(const std::string& separator)
{
    // 1000 of each unit up to G, and the last tenth below 1000 T.
    std::vector<std::string> texts;
    for (const std::int64_t bytes : {std::int64_t{1'000'000}, std::int64_t{1'000'000'000},
                                     std::int64_t{1'000'000'000'000}, std::int64_t{999'900'000'000'000}})
        texts.push_back(SizeText(bytes, 1, separator));
    return texts;
}

}  // namespace

std::vector<TextToFit> TextsToFit(FontRole role, const std::string& decimalSeparator)
{
    const WindowDescription& window = EditorWindow();
    std::vector<TextToFit> result;
    const auto& controls = window.controls;
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const ControlDescription& c = controls[std::size_t(id)];
        if (c.font != role)
            continue;
        TextToFit fit{id, {c.caption}, c.rect.width};
        switch (c.kind) {
        case ControlKind::Caption:
            if (c.rect.width == 0)
                fit.room = CaptionRoom(id, window.windowFontPixels);
            break;
        case ControlKind::SizeLabel:
            fit.texts = WidestSizeTexts(decimalSeparator);
            break;
        case ControlKind::TextLabel:
            fit.texts = {"STD", "NEW"};
            break;
        case ControlKind::GroupBox:
            fit.room -= kGroupCaptionMargins;
            break;
        case ControlKind::Button:
            fit.room -= kButtonMargins;
            break;
        case ControlKind::ComboBox:
            fit.room -= kComboButtonAndMargins;
            break;
        default:
            continue;
        }
        result.push_back(std::move(fit));
    }
    return result;
}

FontChoice ChooseFont(FontRole role, int dpi, const FamilyUsable& usable, const TextWidth& width,
                      const std::string& decimalSeparator, const TextRoom& room)
{
    const WindowDescription& window = EditorWindow();
    const int base = role == FontRole::SizeText ? window.sizeFontPixels : window.windowFontPixels;
    const bool bold = role == FontRole::SizeText && window.sizeFontBold;
    // Asked only as far as needed: looking a family up is a font search.
    std::vector<int> known(window.fontFamilies.size(), -1);
    const auto usableAt = [&](std::size_t i) {
        if (known[i] < 0)
            known[i] = usable(window.fontFamilies[i]) ? 1 : 0;
        return known[i] == 1;
    };
    // Each text once, against the least room it has: sixty size labels show
    // the same texts, and measuring is what start-up pays for here.
    const auto scaled = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    std::map<std::string, int> texts;
    for (const TextToFit& fit : TextsToFit(role, decimalSeparator)) {
        const int pixels = room ? room(fit, dpi) : scaled(fit.room);
        for (const std::string& text : fit.texts) {
            const auto [at, added] = texts.emplace(text, pixels);
            if (!added)
                at->second = std::min(at->second, pixels);
        }
    }
    // Each face is measured once at the description's size; widths scale
    // with the pixel size, which gives the largest size each could fit,
    // and one measurement confirms it. The guess is two pixels generous
    // (widths are whole pixels, rounded and hinted) so that no size that
    // fits is passed over; a guess that fails steps down. Loading a face in
    // another size is what the choice costs at start-up.
    const int nominal = scaled(base);
    const int smallest = (base * 3 + 3) / 4;
    const auto largestGuess = [&](const std::vector<int>& widths) {
        int pixels = base;
        for (; pixels >= smallest; --pixels) {
            std::size_t t = 0;
            const bool couldFit = std::all_of(texts.begin(), texts.end(), [&](const auto& text) {
                return std::int64_t(widths[t++]) * scaled(pixels) <= std::int64_t(text.second + 2) * nominal;
            });
            if (couldFit)
                break;
        }
        return pixels;
    };
    std::vector<std::string> families;
    std::vector<int> guesses;
    for (std::size_t i = 0; i <= window.fontFamilies.size(); ++i) {
        // The system's face stands in when no family of the list is there.
        const bool fallback = i == window.fontFamilies.size();
        if (fallback ? !families.empty() : !usableAt(i))
            continue;
        const FontChoice font{fallback ? std::string() : window.fontFamilies[i], nominal, bold};
        std::vector<int> widths;
        bool fits = true;
        for (const auto& [text, room] : texts) {
            widths.push_back(width(font, text));
            fits = fits && widths.back() <= room;
        }
        // The faces before it did not fit at this size.
        if (fits)
            return font;
        families.push_back(font.family);
        guesses.push_back(std::min(largestGuess(widths), base - 1));
    }
    for (;;) {
        // The largest size guessed, in the first face guessed to fit it.
        const std::size_t best = std::size_t(std::max_element(guesses.begin(), guesses.end()) - guesses.begin());
        if (guesses[best] < smallest)
            return {families.front(), nominal, bold};
        const FontChoice font{families[best], scaled(guesses[best]), bold};
        if (std::all_of(texts.begin(), texts.end(),
                        [&](const auto& text) { return width(font, text.first) <= text.second; }))
            return font;
        --guesses[best];
    }
}

}  // namespace zentab::editor
