// marlinq: the configuration tool with its Qt window.
#include <QApplication>

#include "platform/termination.h"
#include "ui/close_on_termination.h"
#include "ui/qt/app_runner.h"

int main(int argc, char** argv) {
    // Before Qt starts any thread: a termination request must reach no thread but ours.
    platform::HoldTerminationRequests();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlinq"));
    QApplication::setQuitOnLastWindowClosed(false);
    marlinq::qt::CAppRunner runner;
    // SIGTERM, SIGINT, SIGHUP or the end of the session close the window as its close box does, so the
    // configuration is saved on the way out.
    const marlinq::CCloseOnTermination closeOnTermination(runner.Host());
    runner.Start();
    return runner.Exec();
}
