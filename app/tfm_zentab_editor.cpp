#include "tfm_zentab_editor.h"

#include "file_paths.h"
#include "lba_edit.h"
#include "message_boxes.h"
#include "name_edit.h"
#include "profile_reader.h"
#include "zentab_application.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

TfmZentabEditor* fmZentabEditor = nullptr;

namespace {

const char kCapacitySection[] = "CAPACITY";

}  // namespace

TfmZentabEditor::TfmZentabEditor(zentab::Module& module, QWidget* parent) : QWidget(parent), module_(module)
{
    buildLayout();
    FormCreate();
    connectHandlers();
}

void TfmZentabEditor::connectHandlers()
{
    auto guarded = [this](void (TfmZentabEditor::*handler)()) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(btLoad, &QPushButton::clicked, this, guarded(&TfmZentabEditor::btLoadClick));
    connect(btSave, &QPushButton::clicked, this, guarded(&TfmZentabEditor::btSaveClick));
    connect(btAuto, &QPushButton::clicked, this, guarded(&TfmZentabEditor::btAutoClick));
    connect(btAuto, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmFromHeads->popup(btAuto->mapToGlobal(at)); });

    using Handler = void (TfmZentabEditor::*)();
    static constexpr Handler fromHeadHandlers[zentab::kShownRows] = {
        &TfmZentabEditor::miFromHead1Click, &TfmZentabEditor::miFromHead2Click, &TfmZentabEditor::miFromHead3Click,
        &TfmZentabEditor::miFromHead4Click, &TfmZentabEditor::miFromHead5Click, &TfmZentabEditor::miFromHead6Click,
        &TfmZentabEditor::miFromHead7Click, &TfmZentabEditor::miFromHead8Click, &TfmZentabEditor::miFromHead9Click,
        &TfmZentabEditor::miFromHead10Click};
    for (int n = 0; n < zentab::kShownRows; ++n)
        connect(miFromHead[n], &QAction::triggered, this, guarded(fromHeadHandlers[n]));

    connect(cbStdCapacity, &QComboBox::currentTextChanged, this, guarded(&TfmZentabEditor::cbStdCapacityChange));

    // Esc anywhere in the window presses Auto, as a dialog's cancel button would.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (btAuto->isEnabled())
            btAuto->click();
    });

    struct ChangeHandler {
        int format;
        int row;
        Handler handler;
    };
#define ZENTAB_CHANGE_ENTRY(f, r) {f, r, &TfmZentabEditor::LBA##f##r##Change},
    static constexpr ChangeHandler changeHandlers[] = {ZENTAB_FOR_EACH_LBA_FIELD(ZENTAB_CHANGE_ENTRY)};
#undef ZENTAB_CHANGE_ENTRY
    for (const ChangeHandler& change : changeHandlers) {
        LbaEdit* field = lbaField(change.format, change.row);
        connect(field, &QLineEdit::textChanged, this, change.handler);
        connect(field, &LbaEdit::buttonClicked, this, &TfmZentabEditor::LBA11ButtonClick);
        connect(field, &LbaEdit::keyPressed, this, &TfmZentabEditor::LBA11KeyPress);
    }
}

void TfmZentabEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    btLoad->setFocus();
}

QString TfmZentabEditor::settingsPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ZentabEditor.ini"));
}

void TfmZentabEditor::FormCreate()
{
    module_.image.clear();
    const zentab::ProfileReader settings = zentab::ProfileReader::FromFile(ToFilePath(settingsPath()));
    // Filling the list must leave the prompt text and raise no change.
    const QSignalBlocker blocker(cbStdCapacity);
    const QString prompt = cbStdCapacity->currentText();
    cbStdCapacity->clear();
    for (const std::string& key : settings.sectionKeys(kCapacitySection))
        cbStdCapacity->addItem(QString::fromLocal8Bit(key));
    cbStdCapacity->setCurrentIndex(-1);
    cbStdCapacity->setEditText(prompt);
    cbStdCapacity->lineEdit()->setCursorPosition(0);
}

void TfmZentabEditor::cbStdCapacityChange()
{
    // Read afresh every time, so an edited value counts at once.
    const zentab::ProfileReader settings = zentab::ProfileReader::FromFile(ToFilePath(settingsPath()));
    const std::string key = cbStdCapacity->currentText().toLocal8Bit().toStdString();
    QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(settings.value(kCapacitySection, key)));
}
