// Which values a parameter control can take, as an operator could enter them: the text of an
// edit (digits only where the edit takes only digits, and within what a download may send, see
// sent_values.h), an item of a combo box's value list, and "1" or "0" for a check box or one
// button of a radio pair.
#pragma once

#include <string>
#include <string_view>

#include "parameters/parameter_table.h"

namespace parameters {

// Empty when value fits the control; otherwise why not, naming the parameter.
std::string CheckParameterValue(const ParameterRow& row, std::string_view value);

// True for the templates that hold parameters: the main window and the four mode pages.
bool IsParameterDialog(unsigned dialog);

}  // namespace parameters
