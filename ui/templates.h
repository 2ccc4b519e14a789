// The tool's dialog templates, shared by the headless dialogs and the views.
#pragma once

#include "framework/dialog_template.h"

namespace marlinq {

const fw::DialogTemplate& AboutTemplate();       // 100
const fw::DialogTemplate& MainDialogTemplate();  // 102
const fw::DialogTemplate& TcpModeTemplate();     // 132
const fw::DialogTemplate& MqttModeTemplate();    // 133
const fw::DialogTemplate& ModbusModeTemplate();  // 134
const fw::DialogTemplate& HttpsModeTemplate();   // 135

// Finds the templates above by id.
class CMarlinqTemplates : public fw::ITemplateSource {
  public:
    const fw::DialogTemplate* FindTemplate(fw::UINT id) const override;
};

const fw::ITemplateSource& Templates();

}  // namespace marlinq
