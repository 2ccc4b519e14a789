#include "atlink/module_session.h"

#include <utility>

namespace atlink {

namespace {

ModuleSession::PortFinder OrNone(ModuleSession::PortFinder finder) {
    if (!finder) {
        return [] { return 0; };
    }
    return finder;
}

}  // namespace

ModuleSession::ModuleSession(PortFinder findAtPort, LogSink addLog)
    : m_findAtPort(OrNone(std::move(findAtPort))),
      m_at(AtClientDeps{m_manualPort, m_autoPort, [this] { return m_findAtPort(); }, std::move(addLog),
                        &m_pinnedHold, [this] { return m_pinnedCom.load(); }}) {}

}  // namespace atlink
