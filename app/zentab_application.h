#pragma once
// The application object: shows any error that escapes an event handler in
// a stop box and goes on, and lets the core's long loops process pending
// messages.

#include <QApplication>

class ZentabApplication : public QApplication {
public:
    ZentabApplication(int& argc, char** argv);
    ~ZentabApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs a handler, turning an error that leaves it into the error box, as the
// message loop would; used where Qt calls back into the window.
template <typename Handler>
void RunGuarded(Handler&& handler);

void ReportEscapedError(const char* message);

template <typename Handler>
void RunGuarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ReportEscapedError(error.what());
    }
}
