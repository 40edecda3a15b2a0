#pragma once
// Every text of the window whole at any scale: which texts each control must
// show, how wide it may be, and the face and size that show them all. The
// faces measure; the rule of what must fit, and what gives way, is here.

#include "window_description.h"

#include <functional>
#include <string>
#include <vector>

namespace zentab::editor {

// The widest texts a control can show and the width, at 96 dpi, they may
// take inside it.
struct TextToFit {
    ControlId control = kNoControl;
    std::vector<std::string> texts;
    int room = 0;
};

// Every control whose text is drawn in the role's font. Size labels show
// the widest size texts of capacities below 1000 TB (wider ones end in "…").
std::vector<TextToFit> TextsToFit(FontRole role, const std::string& decimalSeparator);

struct FontChoice {
    std::string family;  // empty: the system's own dialog face
    int pixels = 0;      // height in device pixels
    bool bold = false;
};

// Whether a family can be used at a dpi (installed; a bitmap face only at
// the 96 dpi its sizes were drawn for).
using FamilyUsable = std::function<bool(const std::string& family)>;
// A text's width in device pixels, drawn in the font.
using TextWidth = std::function<int(const FontChoice& font, const std::string& text)>;

// The room, in device pixels, a face's own controls give a text where it
// knows better than the description's margins (a combo box's edit field is
// its style's); empty: the description's room, scaled.
using TextRoom = std::function<int(const TextToFit& fit, int dpi)>;

// The role's font at a dpi: the description's size in the first usable
// family that shows every text whole; else the next smaller size, down to
// three quarters; else the description's size in the first usable family.
FontChoice ChooseFont(FontRole role, int dpi, const FamilyUsable& usable, const TextWidth& width,
                      const std::string& decimalSeparator, const TextRoom& room = {});

}  // namespace zentab::editor
