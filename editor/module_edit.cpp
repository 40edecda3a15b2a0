#include "module_edit.h"

#include "container.h"
#include "model_codec.h"
#include "read_back.h"
#include "table_fit.h"

namespace zentab {

bool ReadModelListModule(Module& m, const std::function<void(const ListLayout&)>& layoutKnown)
{
    if (ReadModuleDirectory(m.image, m.directory) == 0)
        return false;
    DecideListLayout(m.image, m.directory, m.layout);
    if (layoutKnown)
        layoutKnown(m.layout);
    ReadModelList(m.image, m.directory, m.layout, m.table);
    return true;
}

ModelTable StoredTable(const Module& m)
{
    ModuleImage image;
    image.assign(m.image.bytes());
    ModelTable stored;
    ReadModelList(image, m.directory, m.layout, stored);
    return stored;
}

std::string ApplyEditedTable(Module& m, const ModelTable& edited, const std::string& lead)
{
    return ApplyEditedTable(m, edited, StoredTable(m), lead);
}

std::string ApplyEditedTable(Module& m, const ModelTable& edited, const ModelTable& asRead, const std::string& lead)
{
    if (std::string reason = CheckValuesFit(edited, asRead, m.layout); !reason.empty())
        return lead + reason + " Nothing was written.";
    Module candidate;
    candidate.image.assign(m.image.bytes());
    candidate.directory = m.directory;
    candidate.layout = m.layout;
    candidate.table = edited;
    if (std::string reason = WriteModelList(candidate.table, candidate.directory, candidate.layout, candidate.image);
        !reason.empty())
        return reason;
    UpdateChecksum(candidate.image);
    // Checked on the very bytes that go to disk, checksum included.
    if (std::string reason = CheckReadsBack(candidate); !reason.empty())
        return lead + reason + " Nothing was written.";
    m.image.assign(candidate.image.takeBytes());
    m.table = edited;
    return {};
}

}  // namespace zentab
