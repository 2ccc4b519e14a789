// A check of one parameter row applied to a value, the row named by its dialog and control id.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "parameters/parameter_table.h"

namespace parameters::test {

// What check (SentValueFault, CheckParameterValue) says of value for the control id of dialog;
// a control that is no parameter fails the test instead of taking a row that is not there.
inline std::string CheckRow(std::string (*check)(const ParameterRow&, std::string_view), unsigned dialog,
                            int id, const std::string& value) {
    const ParameterRow* row = FindParameter(dialog, id);
    if (row == nullptr) {
        ADD_FAILURE() << "control " << id << " of dialog " << dialog << " is no parameter";
        return "(no parameter)";
    }
    return check(*row, value);
}

}  // namespace parameters::test
