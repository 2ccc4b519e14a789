#include "configfile/config_value_check.h"

#include "configfile/config_document.h"
#include "parameters/input_rules.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/sent_values.h"
#include "parameters/value_tables.h"

namespace configfile {

namespace {

using parameters::ParamKind;

// The message of the input rule that rejects value (only the rules a file can break alone).
std::string InputRuleFault(const parameters::ParameterRow& row) {
    const parameters::InputRule rule = row.id == marlinq::IDC_TCP_RESET_TIME
                                           ? parameters::InputRule::ResetTimeZero
                                           : parameters::InputRule::NetReceiveInvalid;
    return parameters::InputRuleMessage(rule, parameters::DownloadForm::Full);
}

std::string LeafFault(const parameters::ParameterRow& row, const std::string& value) {
    if (value.empty()) {
        return {};  // a leaf the file leaves out or empty sets nothing
    }
    switch (row.kind) {
        case ParamKind::Combo:
            return parameters::SelectionFault(row, row.values->IndexOf(value));
        case ParamKind::Check:
        case ParamKind::RadioPair:
            return value == "1" || value == "0" ? std::string() : std::string(row.name) + " must be 1 or 0!";
        case ParamKind::Edit:
            // The file carries no HEX flag: its beat text is judged as plain text.
            if (parameters::LeftToInputRule(row, value, false)) {
                return InputRuleFault(row);
            }
            return parameters::SentValueFault(row, value);
        case ParamKind::Fixed:
            break;
    }
    return {};
}

}  // namespace

std::string ConfigValuesFault(const ConfigValues& values) {
    const auto& leaves = ConfigLeaves();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].fixedValue == nullptr) {
            if (std::string fault = LeafFault(*leaves[i].row, values[i]); !fault.empty()) {
                return fault;
            }
        }
    }
    return {};
}

std::string ConfigFileValuesFault(const std::string& path) {
    ConfigValues values;
    if (ReadConfigFile(path, &values) != ConfigReadOutcome::kRead) {
        return {};
    }
    return ConfigValuesFault(values);
}

}  // namespace configfile
