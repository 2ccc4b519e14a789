#include "parameters/sent_values.h"

#include "parameters/input_rules.h"
#include "parameters/value_tables.h"

namespace parameters {

namespace {

bool IsControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// A whole number of digits only, no longer than max's digits, within min..max.
bool IsNumberInRange(std::string_view text, const ValueBounds& bounds) {
    if (text.empty() || text.size() > bounds.maxBytes ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    long value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');  // no more digits than max has: no overflow
    }
    return value >= bounds.min && value <= bounds.max;
}

}  // namespace

std::string SentValueFault(const ParameterRow& row, std::string_view value) {
    const ValueBounds& b = row.bounds;
    if (b.maxBytes == 0 || value.empty()) {
        return {};
    }
    const std::string name = row.name;
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        return name + " cannot contain a line break!";
    }
    for (char c : value) {
        if (IsControlCharacter(c)) {
            return name + " cannot contain a control character!";
        }
    }
    if (value.find('"') != std::string_view::npos) {
        return name + " cannot contain a double quote!";
    }
    if (b.joined && value.find(',') != std::string_view::npos) {
        return name + " cannot contain a comma!";
    }
    if (b.number) {
        return IsNumberInRange(value, b) ? std::string()
                                         : name + " must be a whole number from " + std::to_string(b.min) +
                                               " to " + std::to_string(b.max) + "!";
    }
    if (value.size() > b.maxBytes) {
        return name + " cannot be longer than " + std::to_string(b.maxBytes) + " bytes!";
    }
    return {};
}

std::string SelectionFault(const ParameterRow& row, int selected) {
    if (row.kind != ParamKind::Combo || row.values == nullptr || selected >= 0) {
        return {};
    }
    std::string items;
    for (const char* item : row.values->items) {
        items += (items.empty() ? "" : ", ") + std::string(item);
    }
    return std::string(row.name) + " must be one of " + items + "!";
}

namespace {

// Why row's value (its combo selection, or its text) cannot be sent; empty when it can.
std::string SendFault(const ParameterRow& row, int selected, const std::string& text, bool beatHex) {
    if (row.kind == ParamKind::Combo) {
        return SelectionFault(row, selected);
    }
    return LeftToInputRule(row, text, beatHex) ? std::string() : SentValueFault(row, text);
}

}  // namespace

std::optional<ValueRefusal> FirstUnsendable(std::span<const SentControl> controls, bool beatHex) {
    for (const SentControl& c : controls) {
        const ParameterRow* row = FindParameter(c.dialog, c.id);
        if (row == nullptr) {
            continue;
        }
        const bool combo = row->kind == ParamKind::Combo;
        const std::string fault = SendFault(*row, combo ? c.controls->GetCurSel(c.id) : -1,
                                            combo ? std::string() : c.controls->GetWindowText(c.id), beatHex);
        if (!fault.empty()) {
            return ValueRefusal{c.controls, c.id, fault};
        }
    }
    return std::nullopt;
}

std::optional<ValueRefusal> FirstUnsendable(const ParameterSnapshot& values,
                                            std::span<const ParameterRow* const> rows, bool beatHex) {
    for (const ParameterRow* row : rows) {
        const std::string fault = SendFault(*row, values.Selected(*row), values.Text(*row), beatHex);
        if (!fault.empty()) {
            return ValueRefusal{values.Controls(*row), row->id, fault};
        }
    }
    return std::nullopt;
}

}  // namespace parameters
