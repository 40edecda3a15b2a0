#include "message_boxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

QString ApplicationTitle()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    const auto dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name.left(1) + name.mid(1).toLower();
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

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowError(const QString& message) { ShowBox(QMessageBox::Critical, ErrorBoxText(message)); }
