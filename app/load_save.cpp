// Load and Save: the two commands around which all editing turns.

#include "container.h"
#include "file_paths.h"
#include "message_boxes.h"
#include "model_codec.h"
#include "tfm_zentab_editor.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
};

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
                ShowMessage(QStringLiteral("%1\nThe folder does not exist.\nCheck the folder name and try again.")
                                .arg(QDir::toNativeSeparators(target.absolutePath())));
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

void TfmZentabEditor::btLoadClick()
{
    runLoad([this]() -> std::optional<QString> {
        QFileDialog* dialog = openDialog();
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        return dialog->selectedFiles().constFirst();
    });
}

void TfmZentabEditor::LoadDroppedFile(const QString& path)
{
    runLoad([&path]() -> std::optional<QString> { return path; });
}

void TfmZentabEditor::runLoad(const std::function<std::optional<QString>()>& chooseFile)
{
    // The checksum of a running Save lets events in; emptying the image
    // under it would corrupt the sum, so Load waits for Save to finish.
    if (saving_)
        return;
    moduleReady_ = false;
    module_.table.reset();
    ClearModelFields();
    module_.image.clear();
    const std::optional<QString> chosen = chooseFile();
    if (!chosen)
        return;
    const QString& path = *chosen;
    lastOpenPath_ = path;
    setWindowTitle(EditorTitle() + QStringLiteral(" - ") + QFileInfo(path).fileName());
    module_.image.loadFromFile(ToFilePath(path));

    if (zentab::ReadModuleDirectory(module_.image, module_.directory) != 0) {
        zentab::DecideListLayout(module_.image, module_.directory, module_.layout);
        laFormat->setText(module_.layout.isNew ? QStringLiteral("NEW") : QStringLiteral("STD"));
        zentab::ReadModelList(module_.image, module_.directory, module_.layout, module_.table);
        // Every module the rules can read is shown; whether its blocks can
        // take a write is Save's question.
        ShowModelTable(module_.layout.rowsPerFormat);
        moduleReady_ = true;
    }
    btSave->setEnabled(true);
    btAuto->setEnabled(true);
}

void TfmZentabEditor::btSaveClick()
{
    if (saving_)
        return;
    if (!moduleReady_) {
        // Writing now would put blank names and zero values at offsets that
        // belong to another module or to the header.
        ShowMessage(QStringLiteral("Nothing to save: the last Load did not read a model-list module."));
        return;
    }
    const ScopedFlag saving(saving_);
    CollectModelTable(module_.layout.rowsPerFormat);
    const std::string refusal =
        zentab::WriteModelList(module_.table, module_.directory, module_.layout, module_.image);
    if (!refusal.empty()) {
        ShowMessage(QString::fromStdString(refusal));
        return;
    }
    zentab::UpdateChecksum(module_.image);
    QFileDialog* dialog = saveDialog();
    dialog->selectFile(lastOpenPath_);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    module_.image.saveToFile(ToFilePath(dialog->selectedFiles().constFirst()));
}
