#include "ui/button_policy.h"

#include <iterator>

#include "ui/resource.h"

namespace marlinq {

namespace {

// The operation buttons, enabled and disabled as a group.
constexpr int kOperationButtons[] = {IDC_BTN_SCAN_PORT,     IDC_BTN_GET,         IDC_BTN_DOWNLOAD,
                                     IDC_BTN_READ_EXT,      IDC_BTN_SET_EXT,     IDC_BTN_RESET_DTU,
                                     IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD};
// The buttons that need a port, switched by the manual port.
constexpr int kPortButtons[] = {IDC_BTN_GET, IDC_BTN_DOWNLOAD, IDC_BTN_READ_EXT, IDC_BTN_SET_EXT,
                                IDC_BTN_RESET_DTU};

}  // namespace

void CButtonPolicy::NoteReadiness(DeviceEvent event) {
    if (event == DeviceEvent::NotReady) {
        m_session.SetDeviceReady(0);
    } else if (event == DeviceEvent::Ready) {
        m_session.SetDeviceReady(1);
    }
}

void CButtonPolicy::Apply(DeviceEvent event) {
    auto enable = [this](const auto& ids, auto on) {
        for (int id : ids) {
            m_main.EnableWindow(id, on(id));
        }
    };
    switch (event) {
        case DeviceEvent::ScanRestarted:
            enable(kOperationButtons, [](int) { return false; });
            break;
        case DeviceEvent::NotReady:
            enable(kOperationButtons, [](int id) { return id == IDC_BTN_SCAN_PORT; });
            break;
        case DeviceEvent::Ready:
            enable(kOperationButtons, [](int) { return true; });
            break;
        case DeviceEvent::ManualPortOpened:
            enable(kPortButtons, [](int) { return true; });
            break;
        case DeviceEvent::ManualPortClosed:
            if (m_session.DeviceReady() == 0) {
                enable(kPortButtons, [](int) { return false; });
            }
            break;
        case DeviceEvent::PushPending:
            break;
    }
}

std::vector<int> CButtonPolicy::OperationButtonIds() {
    return {std::begin(kOperationButtons), std::end(kOperationButtons)};
}

}  // namespace marlinq
