#include "cli/console_host.h"

namespace marlinq::cli {

CConsoleHost::CConsoleHost(std::ostream& out, ConfigAtExit atExit)
    : m_view(
          out, [this] { return m_host.Main().Hwnd(); }, [this] { return m_host.Ended(); }) {
    m_host.Thread().AddObserver(&m_view);
    m_host.Thread().SetServices(&m_view);
    m_host.App().SetSaveConfigOnExit(atExit == ConfigAtExit::Saved);
}

bool CConsoleHost::Start() {
    m_host.Start([this] { m_view.Wake(); });
    return m_host.WaitShown();
}

}  // namespace marlinq::cli
