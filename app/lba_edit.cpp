#include "lba_edit.h"

#include "window_description.h"

#include <QKeyEvent>
#include <QToolButton>

LbaEdit::LbaEdit(QWidget* parent) : QLineEdit(parent), button_(new QToolButton(this))
{
    button_->setText(QString::fromStdString(zentab::editor::EditorWindow().lbaButtonCaption));
    button_->setCursor(Qt::ArrowCursor);
    button_->setFocusPolicy(Qt::NoFocus);
    setTextMargins(0, 0, kButtonWidth, 0);
    // A dropped file's URL would be read as digits and saved as 0.
    setAcceptDrops(false);
    connect(button_, &QToolButton::clicked, this, &LbaEdit::buttonClicked);
}

void LbaEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    const int frame = 2;
    button_->setGeometry(width() - kButtonWidth - frame + 1, frame, kButtonWidth - 1, height() - 2 * frame);
}

void LbaEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        event->accept();
        if (isEnabled())
            emit buttonClicked();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty())
        emit keyPressed(typed.at(0));
    QLineEdit::keyPressEvent(event);
}
