// marlinq: the configuration tool with its Qt window.
#include <QApplication>

#include "ui/qt/app_runner.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlinq"));
    QApplication::setQuitOnLastWindowClosed(false);
    marlinq::qt::CAppRunner runner;
    runner.Start();
    return runner.Exec();
}
