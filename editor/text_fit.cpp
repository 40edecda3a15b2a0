#include "text_fit.h"

#include "capacity.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

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
    // A face is measured once at the description's size; widths scale with
    // the pixel size, which gives the largest size it could fit, and one
    // measurement confirms that. Widths are whole pixels, rounded and
    // hinted: the guess is two pixels generous, so that no size that fits
    // is passed over, and a text guessed two pixels short of its room fits
    // without being measured again. Loading a face in another size, and
    // laying out texts in it, is what the choice costs at start-up.
    const int nominal = scaled(base);
    const int smallest = (base * 3 + 3) / 4;
    constexpr int kSlack = 2;
    const auto guessed = [&](int width, int pixels) { return std::int64_t(width) * scaled(pixels); };
    const auto fitsIn = [&](const FontChoice& font) {
        return std::all_of(texts.begin(), texts.end(),
                           [&](const auto& text) { return width(font, text.first) <= text.second; });
    };
    std::optional<FontChoice> best;
    int bestSize = 0;  // of the choice so far, at 96 dpi
    std::optional<std::string> first;
    for (std::size_t i = 0; i <= window.fontFamilies.size(); ++i) {
        // The system's face stands in when no family of the list is there.
        const bool fallback = i == window.fontFamilies.size();
        if (fallback ? first.has_value() : !usableAt(i))
            continue;
        const std::string family = fallback ? std::string() : window.fontFamilies[i];
        if (!first)
            first = family;
        // A later face counts only at a size larger than the choice so far;
        // one that does not fit the next size up fits no larger one.
        const int floor = best ? bestSize + 1 : smallest;
        if (best && !fitsIn({family, scaled(floor), bold}))
            continue;
        const FontChoice atNominal{family, nominal, bold};
        std::vector<int> widths;
        bool fits = true;
        for (const auto& [text, room] : texts) {
            widths.push_back(width(atNominal, text));
            fits = fits && widths.back() <= room;
        }
        // The faces before it did not fit at this size.
        if (fits)
            return atNominal;
        for (int pixels = base - 1; pixels >= floor; --pixels) {
            std::size_t t = 0;
            bool couldFit = true;
            bool fitsThere = true;
            const FontChoice font{family, scaled(pixels), bold};
            for (const auto& [text, room] : texts) {
                const std::int64_t guess = guessed(widths[t++], pixels);
                couldFit = couldFit && guess <= std::int64_t(room + kSlack) * nominal;
                if (couldFit && fitsThere && guess + std::int64_t(kSlack) * nominal > std::int64_t(room) * nominal)
                    fitsThere = width(font, text) <= room;
                if (!couldFit)
                    break;
            }
            if (couldFit && fitsThere) {
                best = font;
                bestSize = pixels;
                break;
            }
        }
    }
    return best.value_or(FontChoice{first.value_or(std::string()), nominal, bold});
}

}  // namespace zentab::editor
