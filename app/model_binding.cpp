// Moves data between the field grid and the model table at fixed moments:
// clear before Load, show after Load and Auto, collect at the start of Save.
// Between them the fields alone hold the user's edits.

#include "int_text.h"
#include "lba_edit.h"
#include "name_edit.h"
#include "tfm_zentab_editor.h"

#include <QGuiApplication>

namespace {

// Names are 8-bit text in the module; the grid shows them one character per byte.
QString NameText(const std::string& name) { return QString::fromLatin1(name.data(), qsizetype(name.size())); }
std::string NameBytes(const QString& text) { return text.toLatin1().toStdString(); }

int ShownRows(int rows) { return rows < zentab::kShownRows ? rows : zentab::kShownRows; }

}  // namespace

void TfmZentabEditor::setFieldState(QLineEdit* field, bool active)
{
    field->setEnabled(active);
    QPalette palette = field->palette();
    const QPalette::ColorRole role = active ? QPalette::Base : QPalette::Button;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, QGuiApplication::palette().color(group, role));
    field->setPalette(palette);
}

void TfmZentabEditor::setFieldText(QLineEdit* field, const QString& text)
{
    // QLineEdit raises textChanged only for a real change, and before
    // setText returns: the size labels rely on both.
    field->setText(text);
}

void TfmZentabEditor::ClearModelFields()
{
    for (int r = 1; r <= zentab::kShownRows; ++r) {
        for (int f = 1; f <= zentab::kFormats; ++f) {
            setFieldText(modelField(f, r), QString());
            setFieldState(modelField(f, r), false);
        }
        for (int f = 1; f <= zentab::kFormats; ++f) {
            setFieldText(lbaField(f, r), QString());
            setFieldState(lbaField(f, r), false);
        }
    }
}

void TfmZentabEditor::ShowModelTable(int rows)
{
    for (int r = 1; r <= ShownRows(rows); ++r) {
        for (int f = 1; f <= zentab::kFormats; ++f) {
            setFieldText(modelField(f, r), NameText(module_.table.name(r, f)));
            setFieldState(modelField(f, r), true);
        }
        for (int f = 1; f <= zentab::kFormats; ++f) {
            setFieldText(lbaField(f, r), QString::fromStdString(zentab::IntToStr(module_.table.value(r, f))));
            setFieldState(lbaField(f, r), true);
        }
    }
}

void TfmZentabEditor::CollectModelTable(int rows)
{
    for (int r = 1; r <= ShownRows(rows); ++r) {
        for (int f = 1; f <= zentab::kFormats; ++f)
            module_.table.name(r, f) = NameBytes(modelField(f, r)->text());
        for (int f = 1; f <= zentab::kFormats; ++f)
            module_.table.value(r, f) = zentab::StrToInt64Def(lbaField(f, r)->text().toStdString(), 0);
    }
}
