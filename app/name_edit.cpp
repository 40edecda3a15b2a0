#include "name_edit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QValidator>

namespace {

// A name is 8-bit text in the module, one Latin-1 character per byte: a
// character outside it would be saved as "?" while the field showed it.
// As a validator it refuses such text from every way in: typing, the input
// method, Ctrl+V, the menu's Paste, the middle button's selection.
class Latin1Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& text, int&) const override
    {
        for (const QChar c : text) {
            if (c.unicode() > 0xFF)
                return Invalid;
        }
        return Acceptable;
    }
};

}  // namespace

NameEdit::NameEdit(int typingLimit, QWidget* parent) : QLineEdit(parent), limit_(typingLimit)
{
    // Drops would bypass the limit; names are typed or pasted.
    setAcceptDrops(false);
    setValidator(new Latin1Validator(this));
}

int NameEdit::room() const
{
    const int kept = int(text().size()) - int(selectedText().size());
    return limit_ > kept ? limit_ - kept : 0;
}

void NameEdit::pasteLimited()
{
    if (isReadOnly())
        return;
    QString clip = QGuiApplication::clipboard()->text();
    const auto lineEnd = clip.indexOf(QLatin1Char('\n'));
    if (lineEnd >= 0)
        clip.truncate(lineEnd);
    insert(clip.left(room()));
}

void NameEdit::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Paste) {
        pasteLimited();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable && int(typed.size()) > room()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NameEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (int(event->commitString().size()) > room()) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void NameEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    // The standard Paste inserts the whole clipboard; route it through the limit.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this, &NameEdit::pasteLimited);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
