// Accessible names and descriptions: what a screen reader says for each
// control. The grid's fields share their group's caption, so each name
// spells out Format, row and column.

#include "lba_edit.h"
#include "name_edit.h"
#include "tfm_zentab_editor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void TfmZentabEditor::describeControls()
{
    for (int f = 1; f <= zentab::kFormats; ++f) {
        const QString format = groupBoxes[std::size_t(f - 1)]->title();
        for (int r = 1; r <= zentab::kShownRows; ++r) {
            const QString row = QStringLiteral("%1, row %2, ").arg(format).arg(r);
            modelField(f, r)->setAccessibleName(row + QStringLiteral("model name"));
            modelField(f, r)->setAccessibleDescription(
                QStringLiteral("Model name of this row, up to %1 characters of 8-bit text").arg(kModelTypingLimit));
            lbaField(f, r)->setAccessibleName(row + QStringLiteral("maximum LBA"));
            lbaField(f, r)->setAccessibleDescription(
                QStringLiteral("Maximum LBA of this row; a capacity such as 2000G or 2T becomes its LBA at Enter "
                               "or Alt+Down"));
            sizeLabel(f, r)->setAccessibleName(row + QStringLiteral("size"));
            // Replaced by the size itself whenever the value changes.
            sizeLabel(f, r)->setAccessibleDescription(QStringLiteral("No value"));
        }
    }

    edModel->setAccessibleName(QStringLiteral("Model name template"));
    edModel->setAccessibleDescription(QStringLiteral("Name from which Auto and From Head make the model names"));
    edDivider->setAccessibleName(QStringLiteral("Divider"));
    edDivider->setAccessibleDescription(QStringLiteral("Divider Auto uses from one list to the next"));
    edAligned->setAccessibleName(QStringLiteral("Alignment"));
    edAligned->setAccessibleDescription(QStringLiteral("Alignment of the computed capacities"));
    btAuto->setAccessibleDescription(
        QStringLiteral("Fill all lists from the size of head 0 (Esc); its context menu fills the Main list from one row"));
    cbStdCapacity->setAccessibleName(QStringLiteral("Copy Std Capacity"));
    cbStdCapacity->setAccessibleDescription(cbStdCapacity->toolTip());
    cbStdCapacity->lineEdit()->setAccessibleName(QStringLiteral("Standard capacity"));
    cbStdCapacity->lineEdit()->setAccessibleDescription(
        QStringLiteral("Type or pick a standard capacity; its value goes to the clipboard"));
    laFormat->setAccessibleName(QStringLiteral("List layout"));
    laFormat->setAccessibleDescription(QStringLiteral("STD or NEW, as the last Load found it"));
    btLoad->setAccessibleDescription(QStringLiteral("Open a module file (%1)")
                                         .arg(btLoad->shortcut().toString(QKeySequence::NativeText)));
    btSave->setAccessibleDescription(QStringLiteral("Write the module to a file (%1)")
                                         .arg(btSave->shortcut().toString(QKeySequence::NativeText)));
}
