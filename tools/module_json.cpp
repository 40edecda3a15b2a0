#include "module_json.h"

#include "container.h"
#include "model_codec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zentab::cli {

// Every number goes in as qint64: Qt 6 keeps such values as integers and
// writes them digit for digit, so LBAs above 2^53 stay exact (a double would
// round them).
QByteArray ModuleJson(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);

    QJsonArray directory;
    for (int i = 0; i < 12; ++i)
        directory.append(QJsonArray{qint64{m.directory[i].offset}, qint64{m.directory[i].size}});

    QJsonArray formats;
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        QJsonArray cells;
        for (int r = 1; r <= rows; ++r)
            cells.append(QJsonObject{{"name", QString::fromLatin1(m.table.name(r, f))},
                                     {"lba", qint64{m.table.value(r, f)}}});
        formats.append(QJsonObject{{"name", QString::fromLatin1(FormatName(f))}, {"rows", cells}});
    }

    const QJsonObject root{
        {"form", loaded.royl ? "ROYL" : "legacy"},
        {"module_id", qint64{loaded.moduleId}},
        {"entry_count", qint64{m.directory.count}},
        {"directory", directory},
        {"layout", m.layout.isNew ? "NEW" : "STD"},
        {"rows", qint64{m.layout.rowsPerFormat}},
        {"new_block_offset", qint64{m.layout.newBlockOffset}},
        {"checksum",
         QJsonObject{{"stored", qint64{checksum.stored}},
                     {"computed", qint64{checksum.computed}},
                     {"valid", checksum.stored == checksum.computed}}},
        {"formats", formats},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace zentab::cli
