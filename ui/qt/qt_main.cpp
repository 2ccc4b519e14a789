// marlinq: the configuration tool with its Qt window.
#include <QApplication>
#include <cstring>
#include <iostream>

#include "platform/termination.h"
#include "ui/close_on_termination.h"
#include "ui/program_info.h"
#include "ui/qt/app_runner.h"
#include "ui/working_directory.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: marlinq [--version | --help] [Qt options such as -platform offscreen]\n"
        << "  (no argument)       opens the tool's window: it finds the module's AT Port, reads and writes\n"
        << "                      its parameters, and logs every exchange\n"
        << "  --version           prints the version and the folder where the tool writes its files\n"
        << "  --help              prints this text\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        if (std::strcmp(argv[1], "--version") == 0) {
            std::cout << marlinq::VersionText("marlinq");
        } else {
            PrintUsage(std::cout);
        }
        return std::cout.flush() ? 0 : 1;
    }
    // Before Qt starts any thread: a termination request must reach no thread but ours.
    platform::HoldTerminationRequests();
    marlinq::LeaveInstalledProgramFolder();
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
