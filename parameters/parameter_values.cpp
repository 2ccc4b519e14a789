#include "parameters/parameter_values.h"

#include "parameters/input_rules.h"
#include "parameters/parameter_ids.h"
#include "parameters/sent_values.h"
#include "parameters/value_tables.h"

namespace parameters {

std::string CheckParameterValue(const ParameterRow& row, std::string_view value) {
    const std::string name = row.name;
    if (row.kind == ParamKind::Fixed) {
        return name + " has no control";
    }
    if ((row.flags & kReadOnly) != 0) {
        return name + " is read from the module only";
    }
    if ((row.flags & kAction) != 0) {
        return name + " runs an action and holds no value";
    }
    switch (row.kind) {
        case ParamKind::Combo:
            if (row.values == nullptr || row.values->IndexOf(value) < 0) {
                std::string items;
                for (const char* item :
                     row.values != nullptr ? row.values->items : std::span<const char* const>{}) {
                    items += (items.empty() ? "" : ", ") + std::string(item);
                }
                return name + " takes one of: " + items;
            }
            return {};
        case ParamKind::Check:
        case ParamKind::RadioPair:
            return value == "1" || value == "0" ? std::string() : name + " takes 1 or 0";
        case ParamKind::Edit:
            if ((row.flags & kDigits) != 0 &&
                value.find_first_not_of("0123456789") != std::string_view::npos) {
                return name + " takes digits only";
            }
            // What a download would refuse to send; a value an input rule judges stays for it.
            if (LeftToInputRule(row, value, false)) {
                return {};
            }
            if (std::string fault = SentValueFault(row, value); !fault.empty()) {
                fault.pop_back();  // the closing "!" of the window's message
                return fault;
            }
            return {};
        case ParamKind::Fixed:
            break;
    }
    return {};
}

bool IsParameterDialog(unsigned dialog) {
    using namespace marlinq;
    return dialog == IDD_MARLINQ_DIALOG || dialog == IDD_TCP_MODE || dialog == IDD_MODBUS_MODE ||
           dialog == IDD_HTTPS_MODE || dialog == IDD_MQTT_MODE;
}

}  // namespace parameters
