// CButtonPolicy: which operation buttons of the main window each device event enables, and the
// module's readiness that the events carry.
#pragma once

#include <vector>

#include "atlink/module_session.h"
#include "discovery/device_events.h"
#include "framework/control_access.h"

namespace marlinq {

class CButtonPolicy {
  public:
    using DeviceEvent = discovery::DeviceEvent;

    CButtonPolicy(fw::IControlAccess& main, atlink::ModuleSession& session)
        : m_main(main), m_session(session) {}

    // Records the readiness an event reports in the session. Any thread.
    void NoteReadiness(DeviceEvent event);
    // Enables and disables the buttons for event. Window thread.
    void Apply(DeviceEvent event);

    // The operation buttons in the order in which a push disables them.
    static std::vector<int> OperationButtonIds();

  private:
    fw::IControlAccess& m_main;
    atlink::ModuleSession& m_session;
};

}  // namespace marlinq
