#include "cli/console_host.h"

namespace marlinq::cli {

CConsoleHost::CConsoleHost(std::ostream& out) : m_view(out) {
    m_app.Thread().AddObserver(&m_view);
    m_app.Thread().SetServices(&m_view);
}

CConsoleHost::~CConsoleHost() {
    if (m_window.joinable()) {
        Close();
    }
}

bool CConsoleHost::Start() {
    m_window = std::thread([this] { m_exitCode = m_app.Run(); });
    return m_view.WaitShown();
}

fw::CDialogDriver CConsoleHost::Main() {
    return fw::CDialogDriver(m_app.Thread(), m_view.MainWindow());
}

fw::CDialogDriver CConsoleHost::Page(int index) {
    return fw::CDialogDriver(m_app.Thread(), m_view.Page(index));
}

int CConsoleHost::Close() {
    if (!m_view.Ended()) {
        Main().Close();
    }
    return Wait();
}

int CConsoleHost::Wait() {
    if (m_window.joinable()) {
        m_window.join();
    }
    return m_exitCode;
}

}  // namespace marlinq::cli
