#pragma once
// The steps of Load and Save that the window and the command-line tool share,
// so that the two cannot disagree on what a module holds or may be given.

#include "module_state.h"

#include <functional>
#include <string>

namespace zentab {

// After the file is in m.image: the container check, the layout and the
// model list, in Load's order; layoutKnown runs between the layout and the
// list. False, with table and layout untouched, when the container check
// finds no model-list module. Raises "Stream read error" for a module that
// ends too soon.
bool ReadModelListModule(Module& m, const std::function<void(const ListLayout&)>& layoutKnown = {});

// The table as the image holds it now: what a cell left alone is written
// back as.
ModelTable StoredTable(const Module& m);

// Writes edited into a copy of the image, recomputes its checksum and loads
// the copy again the way every later Load will. Only when every name and
// value would read back as given do image and table take the new contents;
// otherwise both stay as they were and the reason comes back, led by lead
// ("Save refused: ") unless the codec's own reason says so already. Only
// cells that differ from asRead, the table as the module was read, are
// judged: a value the module came with is its own, whatever its bits.
std::string ApplyEditedTable(Module& m, const ModelTable& edited, const ModelTable& asRead, const std::string& lead);
// The same where the image still holds the module as it was read.
std::string ApplyEditedTable(Module& m, const ModelTable& edited, const std::string& lead);

}  // namespace zentab
