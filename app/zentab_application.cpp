#include "zentab_application.h"

#include "message_boxes.h"
#include "pending_messages.h"

namespace {

void ProcessQtEvents() { QCoreApplication::processEvents(); }

}  // namespace

void ReportEscapedError(const char* message) { ShowError(QString::fromUtf8(message)); }

ZentabApplication::ZentabApplication(int& argc, char** argv) : QApplication(argc, argv)
{
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
