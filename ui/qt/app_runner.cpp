#include "ui/qt/app_runner.h"

#include <QApplication>

namespace marlinq::qt {

CAppRunner::CAppRunner() : m_view(m_host.Thread()) {}

CAppRunner::~CAppRunner() {
    Finish();
}

void CAppRunner::Start() {
    m_host.Start([] {
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
}

int CAppRunner::Exec() {
    QApplication::exec();
    return Finish();
}

int CAppRunner::Finish() {
    // The window thread may wait for the GUI thread (a message box); keep serving it.
    return m_host.Close([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); });
}

}  // namespace marlinq::qt
