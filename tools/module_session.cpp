#include "module_session.h"

#include "byte_io.h"
#include "cli_errors.h"
#include "container.h"
#include "model_codec.h"
#include "read_back.h"
#include "table_fit.h"

namespace zentab::cli {

LoadedModule LoadModule(const std::string& path)
{
    LoadedModule loaded;
    Module& m = loaded.module;
    m.table.reset();
    m.image.loadFromFile(path);
    if (ReadModuleDirectory(m.image, m.directory) == 0)
        throw Refusal("not a model-list module (module id is not 12 or the directory is empty)");
    // The container check has read past both header forms, so these fields exist.
    const std::uint8_t* bytes = m.image.data();
    loaded.royl = LoadDWord(bytes) == kRoylSignature;
    loaded.moduleId = loaded.royl ? unsigned{bytes[8]} | unsigned{bytes[9]} << 8 : unsigned{bytes[4]};
    DecideListLayout(m.image, m.directory, m.layout);
    ReadModelList(m.image, m.directory, m.layout, m.table);
    return loaded;
}

void SaveEditedModule(LoadedModule& loaded, const std::string& out)
{
    Module& m = loaded.module;
    if (std::string reason = CheckTableFits(m.table, m.layout); !reason.empty())
        throw Refusal("Edit refused: " + reason + " Nothing was written.");
    if (std::string reason = WriteModelList(m.table, m.directory, m.layout, m.image); !reason.empty())
        throw Refusal(reason);
    UpdateChecksum(m.image);
    // Checked on the very bytes that go to disk, checksum included.
    if (std::string reason = CheckReadsBack(m); !reason.empty())
        throw Refusal("Edit refused: " + reason + " Nothing was written.");
    m.image.saveToFile(out);
}

void SaveWithNewChecksum(LoadedModule& loaded, const std::string& out)
{
    UpdateChecksum(loaded.module.image);
    loaded.module.image.saveToFile(out);
}

}  // namespace zentab::cli
