// Capacity arithmetic in the window: Auto, From Head, the G/T shorthand and
// alignment of the LBA fields, and the size label beside every value.

#include "auto_fill.h"
#include "capacity.h"
#include "capacity_entry.h"
#include "int_text.h"
#include "lba_edit.h"
#include "message_boxes.h"
#include "name_edit.h"
#include "tfm_zentab_editor.h"

#include <QLabel>
#include <QLocale>

namespace {

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

char LocaleDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 128 ? char(point.at(0).unicode()) : '.';
}

}  // namespace

void TfmZentabEditor::btAutoClick()
{
    zentab::AutoInputs inputs;
    inputs.alignment = zentab::StrToIntDef(Text(edAligned), 50);
    inputs.modelTemplate = edModel->text().toLatin1().toStdString();
    inputs.headSize = zentab::StrToInt64Def(Text(lbaField(1, 1)), 0);
    if (inputs.headSize == 0) {
        ShowMessage(QStringLiteral("Enter LBA Size for Head 0"));
        return;
    }
    inputs.divider = zentab::StrToIntDef(Text(edDivider), 0);
    const int rows = module_.layout.rowsPerFormat;
    zentab::AutoFillTable(module_.table, rows, inputs);
    ShowModelTable(rows);
}

void TfmZentabEditor::fromHead(int row)
{
    const std::int64_t value = zentab::StrToInt64Def(Text(lbaField(1, row)), 0);
    FillFromHead(value / row);
}

void TfmZentabEditor::miFromHead1Click() { fromHead(1); }
void TfmZentabEditor::miFromHead2Click() { fromHead(2); }
void TfmZentabEditor::miFromHead3Click() { fromHead(3); }
void TfmZentabEditor::miFromHead4Click() { fromHead(4); }
void TfmZentabEditor::miFromHead5Click() { fromHead(5); }
void TfmZentabEditor::miFromHead6Click() { fromHead(6); }
void TfmZentabEditor::miFromHead7Click() { fromHead(7); }
void TfmZentabEditor::miFromHead8Click() { fromHead(8); }
void TfmZentabEditor::miFromHead9Click() { fromHead(9); }
void TfmZentabEditor::miFromHead10Click() { fromHead(10); }

void TfmZentabEditor::FillFromHead(std::int64_t perHeadSize)
{
    const std::string modelTemplate = edModel->text().toLatin1().toStdString();
    const std::int32_t alignment = zentab::StrToIntDef(Text(edAligned), 50);
    const auto rows = zentab::FromHeadRows(perHeadSize, module_.layout.rowsPerFormat, alignment, modelTemplate);
    for (int r = 1; r <= int(rows.size()); ++r) {
        const zentab::ModelRow& row = rows[std::size_t(r - 1)];
        setFieldText(modelField(1, r), QString::fromLatin1(row.name.data(), qsizetype(row.name.size())));
        setFieldText(lbaField(1, r), QString::fromStdString(zentab::IntToStr(row.value)));
    }
}

void TfmZentabEditor::LBA11KeyPress(QChar key)
{
    auto* field = qobject_cast<LbaEdit*>(sender());
    if (!field || key.unicode() != 13)
        return;
    if (const auto converted = zentab::ConvertOnEnter(Text(field)))
        setFieldText(field, QString::fromStdString(*converted));
}

void TfmZentabEditor::LBA11ButtonClick()
{
    auto* field = qobject_cast<LbaEdit*>(sender());
    if (!field)
        return;
    setFieldText(field, QString::fromStdString(zentab::ConvertOnButton(Text(field))));
}

void TfmZentabEditor::refreshSizeLabel(int format, int row)
{
    const std::int64_t value = zentab::StrToInt64Def(Text(lbaField(format, row)), 0);
    const QString size = QString::fromStdString(zentab::SizeText(value, 512, LocaleDecimalSeparator()));
    sizeLabel(format, row)->setText(size);
    // A screen reader says the label's name; the size itself follows as its description.
    sizeLabel(format, row)->setAccessibleDescription(size.isEmpty() ? QStringLiteral("No value") : size);
}

#define ZENTAB_DEFINE_CHANGE(f, r) \
    void TfmZentabEditor::LBA##f##r##Change() { refreshSizeLabel(f, r); }
ZENTAB_FOR_EACH_LBA_FIELD(ZENTAB_DEFINE_CHANGE)
#undef ZENTAB_DEFINE_CHANGE
