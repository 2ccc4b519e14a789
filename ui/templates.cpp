#include "ui/templates.h"

#include "ui/resource.h"

namespace marlinq {

const fw::DialogTemplate* CMarlinqTemplates::FindTemplate(fw::UINT id) const {
    switch (id) {
        case IDD_ABOUTBOX:
            return &AboutTemplate();
        case IDD_MARLINQ_DIALOG:
            return &MainDialogTemplate();
        case IDD_TCP_MODE:
            return &TcpModeTemplate();
        case IDD_MQTT_MODE:
            return &MqttModeTemplate();
        case IDD_MODBUS_MODE:
            return &ModbusModeTemplate();
        case IDD_HTTPS_MODE:
            return &HttpsModeTemplate();
        default:
            return nullptr;
    }
}

const fw::ITemplateSource& Templates() {
    static const CMarlinqTemplates templates;
    return templates;
}

}  // namespace marlinq
