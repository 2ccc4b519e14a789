#include "ui/qt/app_runner.h"

#include <QApplication>

namespace marlinq::qt {

CAppRunner::CAppRunner() : m_view(m_app.Thread()) {}

CAppRunner::~CAppRunner() {
    Finish();
}

void CAppRunner::Start() {
    m_window = std::thread([this] {
        m_exitCode = m_app.Run();
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
}

int CAppRunner::Exec() {
    QApplication::exec();
    return Finish();
}

int CAppRunner::Finish() {
    if (m_window.joinable()) {
        if (m_view.MainHwnd() != 0) {
            fw::CDialogDriver(m_app.Thread(), m_view.MainHwnd()).Close();
        }
        // The window thread may wait for the GUI thread (a message box); keep serving it.
        while (m_window.joinable()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (m_app.Thread().IsClosed()) {
                m_window.join();
            }
        }
    }
    return m_exitCode;
}

}  // namespace marlinq::qt
