#include "tfm_zentab_editor.h"

#include "file_paths.h"
#include "lba_edit.h"
#include "name_edit.h"
#include "zentab_application.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

TfmZentabEditor* fmZentabEditor = nullptr;

namespace {

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

TfmZentabEditor::TfmZentabEditor(zentab::Module& module, QWidget* parent)
    : QWidget(parent), view_(*this), session_(module, view_)
{
    view_.openFile = [this]() -> std::optional<std::filesystem::path> {
        QFileDialog* dialog = openDialog();
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        return ToFilePath(dialog->selectedFiles().constFirst());
    };
    view_.saveFile = [this](const std::filesystem::path& proposed) -> std::optional<std::filesystem::path> {
        QFileDialog* dialog = saveDialog();
        dialog->selectFile(FromFilePath(proposed));
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        return ToFilePath(dialog->selectedFiles().constFirst());
    };
    buildControls();
    session_.FormCreate();
    connectHandlers();
}

NameEdit* TfmZentabEditor::modelField(int format, int row) const
{
    return static_cast<NameEdit*>(widget(zentab::editor::ModelField(format, row)));
}

LbaEdit* TfmZentabEditor::lbaField(int format, int row) const
{
    return static_cast<LbaEdit*>(widget(zentab::editor::LbaField(format, row)));
}

QLabel* TfmZentabEditor::sizeLabel(int format, int row) const
{
    return static_cast<QLabel*>(widget(zentab::editor::SizeLabel(format, row)));
}

void TfmZentabEditor::connectHandlers()
{
    connect(btLoad, &QPushButton::clicked, this, &TfmZentabEditor::btLoadClick);
    connect(btSave, &QPushButton::clicked, this, &TfmZentabEditor::btSaveClick);
    connect(btAuto, &QPushButton::clicked, this, &TfmZentabEditor::btAutoClick);
    btAuto->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(btAuto, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmFromHeads->popup(btAuto->mapToGlobal(at)); });

    using Handler = void (TfmZentabEditor::*)();
    static constexpr Handler fromHeadHandlers[zentab::kShownRows] = {
        &TfmZentabEditor::miFromHead1Click, &TfmZentabEditor::miFromHead2Click, &TfmZentabEditor::miFromHead3Click,
        &TfmZentabEditor::miFromHead4Click, &TfmZentabEditor::miFromHead5Click, &TfmZentabEditor::miFromHead6Click,
        &TfmZentabEditor::miFromHead7Click, &TfmZentabEditor::miFromHead8Click, &TfmZentabEditor::miFromHead9Click,
        &TfmZentabEditor::miFromHead10Click};
    for (int n = 0; n < zentab::kShownRows; ++n)
        connect(miFromHead[std::size_t(n)], &QAction::triggered, this, fromHeadHandlers[n]);

    connect(cbStdCapacity, &QComboBox::currentTextChanged, this, &TfmZentabEditor::cbStdCapacityChange);
    // A pick of the entry already shown changes no text, yet must copy too.
    connect(cbStdCapacity, &QComboBox::activated, this, [this] {
        if (!textJustCopied_)
            session_.cbStdCapacityChange();
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
        field->setProperty("controlId", zentab::editor::LbaField(change.format, change.row));
        connect(field, &QLineEdit::textChanged, this, change.handler);
        connect(field, &LbaEdit::buttonClicked, this, &TfmZentabEditor::LBA11ButtonClick);
        connect(field, &LbaEdit::keyPressed, this, &TfmZentabEditor::LBA11KeyPress);
    }
}

void TfmZentabEditor::cbStdCapacityChange()
{
    session_.cbStdCapacityChange();
    // The pick that changed the text raises its activation within this turn
    // of the event loop; it need not copy the same value again.
    if (!textJustCopied_) {
        textJustCopied_ = true;
        QTimer::singleShot(0, this, [this] { textJustCopied_ = false; });
    }
}

void TfmZentabEditor::LBA11KeyPress(QChar key)
{
    if (QObject* field = sender())
        session_.LBA11KeyPress(field->property("controlId").toInt(), key.unicode());
}

void TfmZentabEditor::LBA11ButtonClick()
{
    if (QObject* field = sender())
        session_.LBA11ButtonClick(field->property("controlId").toInt());
}

void TfmZentabEditor::btSaveClick()
{
    session_.btSaveClick();
    if (closePending_ && !session_.saving()) {
        closePending_ = false;
        close();
    }
}

void TfmZentabEditor::closeEvent(QCloseEvent* event)
{
    // Save lets events in while it sums the checksum, and goes on to its
    // dialog and the write; a window closed under it would leave the
    // program running with none. The close waits for Save's end.
    if (session_.saving()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
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

void TfmZentabEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (!session_.saving() && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfmZentabEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (!session_.saving() && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfmZentabEditor::openWhenShown(std::vector<std::filesystem::path> arguments)
{
    if (arguments.empty())
        return;
    QMetaObject::invokeMethod(
        this, [this, arguments = std::move(arguments)] { session_.OpenStartArguments(arguments); },
        Qt::QueuedConnection);
}

void TfmZentabEditor::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    // A Save in progress lets events in; a drop then counts for nothing,
    // as a click on Load would.
    if (session_.saving() || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded once the drop is over, so the program the file came from is not
    // kept waiting by a message box that Load may show.
    QMetaObject::invokeMethod(
        this, [this, path] { session_.LoadDroppedFile(ToFilePath(path)); }, Qt::QueuedConnection);
}
