#include "cli/console_host.h"

namespace marlinq::cli {

CConsoleHost::CConsoleHost(std::ostream& out) : m_view(out) {
    m_host.Thread().AddObserver(&m_view);
    m_host.Thread().SetServices(&m_view);
}

bool CConsoleHost::Start() {
    m_host.Start();
    return m_host.WaitShown();
}

}  // namespace marlinq::cli
