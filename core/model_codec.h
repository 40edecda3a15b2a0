#pragma once
// Where the six model lists lie in a model-list module, which of the two
// layouts (STD: 32-bit values per Format; NEW: one block of 64-bit values
// found by its marker) a module uses, and reading and writing names and
// values in place. Nothing else in the module is touched.

#include "module_state.h"

#include <cstdint>
#include <string>

namespace zentab {

// Offset of the NEW value block: 72 bytes past the marker nearest the end of
// the image, or -1 when there is no marker.
std::int32_t FindNewValueBlock(ModuleImage& image);

void DecideListLayout(ModuleImage& image, const ModuleDirectory& directory, ListLayout& layout);

void ReadModelList(ModuleImage& image, const ModuleDirectory& directory, const ListLayout& layout,
                   ModelTable& table);

// Writes every name and value in place and returns an empty text. When a
// block cannot take them safely (see CheckWritableBlocks), or two lists share
// bytes so that one would undo an edit of the other, writes nothing and
// returns the reason.
std::string WriteModelList(const ModelTable& table, const ModuleDirectory& directory, const ListLayout& layout,
                           ModuleImage& image);

// Empty when every block that WriteModelList would write lies past the header
// and inside the image.
std::string CheckWritableBlocks(const ModuleImage& image, const ModuleDirectory& directory,
                                const ListLayout& layout);

const char* FormatName(int format);

}  // namespace zentab
