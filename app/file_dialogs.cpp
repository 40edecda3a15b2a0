// The open and save dialogs of the window, made at their first use.

#include "editor_texts.h"
#include "message_boxes.h"
#include "tfm_zentab_editor.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// Qt's save dialog takes a name in a folder that does not exist, and the
// write would then fail after the user had gone; the dialog stays open
// instead and says so, as a "path must exist" dialog does.
class SaveDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            const QFileInfo target(chosen.constFirst());
            if (!target.isDir() && !QFileInfo(target.absolutePath()).isDir()) {
                ShowMessage(QString::fromStdString(
                    zentab::editor::MissingFolderText(QDir::toNativeSeparators(target.absolutePath()).toStdString())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

QFileDialog* TfmZentabEditor::openDialog()
{
    if (!OpenDialog1) {
        OpenDialog1 = new QFileDialog(this);
        OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
        OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
        OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
        OpenDialog1->setFileMode(QFileDialog::ExistingFile);
        OpenDialog1->setSizeGripEnabled(true);
    }
    return OpenDialog1;
}

QFileDialog* TfmZentabEditor::saveDialog()
{
    if (!SaveDialog1) {
        SaveDialog1 = new SaveDialog(this);
        SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
        SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
        SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1->setFileMode(QFileDialog::AnyFile);
        SaveDialog1->setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        SaveDialog1->setSizeGripEnabled(true);
    }
    return SaveDialog1;
}
