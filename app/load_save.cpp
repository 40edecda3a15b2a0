// Load and Save: the two commands around which all editing turns.

#include "container.h"
#include "file_paths.h"
#include "message_boxes.h"
#include "model_codec.h"
#include "tfm_zentab_editor.h"

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

}  // namespace

void TfmZentabEditor::btLoadClick()
{
    // The checksum of a running Save lets events in; emptying the image
    // under it would corrupt the sum, so Load waits for Save to finish.
    if (saving_)
        return;
    moduleReady_ = false;
    module_.table.reset();
    ClearModelFields();
    module_.image.clear();
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    const QString path = OpenDialog1->selectedFiles().constFirst();
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
    SaveDialog1->selectFile(lastOpenPath_);
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return;
    module_.image.saveToFile(ToFilePath(SaveDialog1->selectedFiles().constFirst()));
}
