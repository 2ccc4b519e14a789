// Where each parameter stands in the window, from the dialog templates: the order in which the
// command line lists them and the label the window shows beside each.
#pragma once

#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "parameters/parameter_table.h"

namespace marlinq::cli {

// Every named parameter as the window shows them: page by page (main window, TCP/UDP, MODBUS,
// HTTPS, MQTT), and on each page column by column, top to bottom, left to right within a row, as
// the template lays the controls out. A radio pair stands where its first button stands.
std::vector<const parameters::ParameterRow*> ParametersInWindowOrder();

// The same order for the parameters of one template (tpl.id is the dialog of its rows).
std::vector<const parameters::ParameterRow*> ParametersInTemplateOrder(const fw::DialogTemplate& tpl);

// The text the window shows a parameter under, without a closing colon: a check box's caption;
// the caption of the group box that frames a radio pair; an edit's or combo box's own label,
// unless that label says nothing (none, or a separator such as "---"): then the nearest text to
// its left on the same row (a check box's caption, or the label of the control before it).
// Empty only when the template gives none of these.
std::string ParameterLabel(const parameters::ParameterRow& row, const fw::DialogTemplate& tpl);
std::string ParameterLabel(const parameters::ParameterRow& row);

// The template control of the row; nullptr when its template holds none.
const fw::ControlTemplate* ParameterControl(const parameters::ParameterRow& row);

}  // namespace marlinq::cli
