// marlinq: the configuration tool with its Qt window.
#include <QApplication>

#include <chrono>

#include "platform/termination.h"
#include "ui/close_request.h"
#include "ui/qt/app_runner.h"

int main(int argc, char** argv) {
    // Before Qt starts any thread: a termination request must reach no thread but ours.
    platform::HoldTerminationRequests();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlinq"));
    QApplication::setQuitOnLastWindowClosed(false);
    marlinq::qt::CAppRunner runner;
    // SIGTERM, SIGINT or the end of the session close the window as its close box does, so the
    // configuration is saved on the way out.
    marlinq::CCloseRequest closeRequest(runner.App().Thread());
    platform::OnTerminationRequest([&closeRequest] {
        closeRequest.Request();
        closeRequest.WaitClosed(std::chrono::seconds(20));
    });
    runner.Start();
    return runner.Exec();
}
