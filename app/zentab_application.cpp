#include "zentab_application.h"

#include "editor_texts.h"
#include "message_boxes.h"
#include "pending_messages.h"

#include <QSettings>

namespace {

void ProcessQtEvents() { QCoreApplication::processEvents(); }

}  // namespace

void ReportEscapedError(const char* message)
{
    ShowError(QString::fromStdString(zentab::editor::ErrorBoxText(message)));
}

ZentabApplication::ZentabApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationVersion(QStringLiteral(ZENTAB_VERSION));
    // Ties the window to its menu entry and icon (the Wayland app id).
    setDesktopFileName(QStringLiteral("org.zentab.ZentabEditor"));
    // The program keeps no settings, yet Qt's file dialog stores its history
    // in the user's configuration folder. Pointed below the executable file,
    // where no folder can ever be made, Qt's settings read empty and are
    // never written.
    const QString nowhere = applicationFilePath() + QStringLiteral("/settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, nowhere);
        QSettings::setPath(format, QSettings::SystemScope, nowhere);
    }
    zentab::SetPendingMessagesHook(&ProcessQtEvents);
}

ZentabApplication::~ZentabApplication() { zentab::SetPendingMessagesHook(nullptr); }

bool ZentabApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportEscapedError(error.what());
        return false;
    }
}
