// The parameter controls' values at one moment, each control read once. A download judges and
// sends the values of one snapshot, so what it checked is what it sends, whatever changes in the
// controls meanwhile (a modal warning box lets the window run).
#pragma once

#include <map>
#include <string>

#include "framework/control_access.h"
#include "parameters/dtucfg_args.h"
#include "parameters/parameter_table.h"

namespace parameters {

// The controls of the main window and of the four mode pages.
struct ParameterDialogs {
    fw::IControlAccess& main;
    fw::IControlAccess& tcp;
    fw::IControlAccess& modbus;
    fw::IControlAccess& https;
    fw::IControlAccess& mqtt;
};

class ParameterSnapshot {
  public:
    // Reads every parameter control of the five dialogs.
    static ParameterSnapshot Read(const ParameterDialogs& dialogs);
    // Reads the parameter controls of one dialog (template id dialog) into the snapshot.
    void ReadDialog(unsigned dialog, fw::IControlAccess& controls);

    // The text of an edit, the selected item's text of a combo box (empty when none).
    const std::string& Text(const ParameterRow& row) const { return Of(row).text; }
    // A combo box's selected index, -1 when none.
    int Selected(const ParameterRow& row) const { return Of(row).selected; }
    // A check box, or the "on" button of a radio pair.
    bool Ticked(const ParameterRow& row) const { return Of(row).ticked; }
    // The text a command carries for row: a check box or radio pair as "1" or "0" (see kOneWhenOff).
    std::string Sent(const ParameterRow& row) const;
    // The controls of row's dialog (for the focus of a refusal); nullptr when it was not read.
    fw::IControlAccess* Controls(const ParameterRow& row) const;

  private:
    struct Value {
        std::string text;
        int selected = -1;
        bool ticked = false;
        bool offTicked = false;
    };
    const Value& Of(const ParameterRow& row) const;

    std::map<const ParameterRow*, Value> m_values;
    std::map<unsigned, fw::IControlAccess*> m_dialogs;
};

// The values BuildDtuCfgArgs and the input rules take, from the rows the table places in DTUCFG.
DtuCfgValues DtuCfgValuesOf(const ParameterSnapshot& values);

}  // namespace parameters
