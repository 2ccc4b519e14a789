// Which values a command may carry, by the bounds of the parameter table. A download checks every
// value it would send before its first byte, whether the value was typed, loaded from a file or
// set by marlinq-cli's --set, and marlinq-cli checks each --set value the same way.
//
// Every text that is sent holds no control character (C0, DEL) and no double quote: a quote
// would close or open a quoted argument early, ESC and Ctrl-Z abort or submit the module's line.
// A text joined with other fields by commas holds no comma. A number is digits only, within its
// range and no longer than its largest value; an empty text is sent as the empty field. A combo
// box whose item is sent must have one selected.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/control_access.h"
#include "parameters/parameter_snapshot.h"
#include "parameters/parameter_table.h"

namespace parameters {

// Why value cannot be sent as row's parameter, worded for the operator ("Port must be a whole
// number from 1 to 65535!"); empty when it can, and for a row that sends no text.
std::string SentValueFault(const ParameterRow& row, std::string_view value);

// Why the selection of row's combo box cannot be sent: none is selected. Empty when it can.
std::string SelectionFault(const ParameterRow& row, int selected);

// A control whose value a download sends.
struct SentControl {
    fw::IControlAccess* controls;
    unsigned dialog;
    int id;
};

struct ValueRefusal {
    fw::IControlAccess* controls = nullptr;
    int id = 0;
    std::string message;
};

// The first control whose value cannot be sent, with the message; nullopt when all can. Values
// that an input rule rejects are left to that rule (beatHex: the HEX box of the TCP/UDP page).
std::optional<ValueRefusal> FirstUnsendable(std::span<const SentControl> controls, bool beatHex);
// The same for the values of rows in a snapshot; the refusal names the control the value was read
// from.
std::optional<ValueRefusal> FirstUnsendable(const ParameterSnapshot& values,
                                            std::span<const ParameterRow* const> rows, bool beatHex);

}  // namespace parameters
