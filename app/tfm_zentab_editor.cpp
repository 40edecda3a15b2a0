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
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <system_error>

TfmZentabEditor* fmZentabEditor = nullptr;

namespace {

const char kCapacitySection[] = "CAPACITY";
const char kSettingsName[] = "ZentabEditor.ini";

// The one local file a drag carries, or an empty text when it carries
// anything else: several files, a folder, a remote URL, plain text.
QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return {};
    const QString path = urls.constFirst().toLocalFile();
    return QFileInfo(path).isDir() ? QString() : path;
}

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
    // A pick of the entry already shown changes no text, yet must copy too.
    connect(cbStdCapacity, &QComboBox::activated, this, [this] {
        if (!textJustCopied_)
            RunGuarded([this] { copyCapacityValue(); });
    });

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

std::filesystem::path TfmZentabEditor::settingsPath()
{
    // Beside the executable first, so a copied folder keeps its own list;
    // an installed program finds the user's file, then the system's example.
    const std::filesystem::path beside =
        ToFilePath(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kSettingsName)));
    std::error_code error;
    if (std::filesystem::exists(beside, error))
        return beside;
    const QString relative = QStringLiteral("ZentabEditor/") + QString::fromLatin1(kSettingsName);
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        const std::filesystem::path candidate = ToFilePath(QDir(folder).filePath(relative));
        if (std::filesystem::exists(candidate, error))
            return candidate;
    }
    return beside;
}

void TfmZentabEditor::FormCreate()
{
    module_.image.clear();
    const zentab::ProfileReader settings = zentab::ProfileReader::FromFile(settingsPath());
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
    copyCapacityValue();
    // The pick that changed the text raises its activation within this turn
    // of the event loop; it need not copy the same value again.
    if (!textJustCopied_) {
        textJustCopied_ = true;
        QTimer::singleShot(0, this, [this] { textJustCopied_ = false; });
    }
}

void TfmZentabEditor::copyCapacityValue()
{
    // Read afresh every time, so an edited value counts at once.
    const zentab::ProfileReader settings = zentab::ProfileReader::FromFile(settingsPath());
    const std::string key = cbStdCapacity->currentText().toLocal8Bit().toStdString();
    QGuiApplication::clipboard()->setText(QString::fromLocal8Bit(settings.value(kCapacitySection, key)));
}

void TfmZentabEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (!saving_ && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfmZentabEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (!saving_ && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfmZentabEditor::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    // A Save in progress lets events in; a drop then counts for nothing,
    // as a click on Load would.
    if (saving_ || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded once the drop is over, so the program the file came from is not
    // kept waiting by a message box that Load may show.
    QMetaObject::invokeMethod(
        this, [this, path] { RunGuarded([this, &path] { LoadDroppedFile(path); }); }, Qt::QueuedConnection);
}
