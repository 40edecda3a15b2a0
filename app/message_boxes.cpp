#include "message_boxes.h"

#include "editor_texts.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

QString ApplicationTitle()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    return QString::fromStdString(zentab::editor::ApplicationTitle(name.toStdString()));
}

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("errorBox") : QStringLiteral("messageBox"));
    box.exec();
}

}  // namespace

void ShowMessage(const QString& text) { ShowBox(QMessageBox::NoIcon, text); }

void ShowError(const QString& text) { ShowBox(QMessageBox::Critical, text); }
