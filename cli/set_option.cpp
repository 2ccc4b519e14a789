#include "cli/set_option.h"

#include <cerrno>
#include <cstdlib>

#include "cli/name_suggestions.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_names.h"
#include "parameters/parameter_values.h"

namespace marlinq::cli {

namespace {

// A whole decimal number in 1..65535; false for anything else.
bool ParseNumber(const std::string& text, long* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 5) {
        return false;
    }
    *value = std::strtol(text.c_str(), nullptr, 10);
    return *value >= 1 && *value <= 65535;
}

// The setting as an error line shows it: at most 60 bytes, control characters as \xHH, so a huge
// or hostile value neither floods nor drives the terminal.
std::string Shown(const std::string& setting) {
    constexpr std::size_t kShownBytes = 60;
    std::string shown;
    for (std::size_t i = 0; i < setting.size() && i < kShownBytes; ++i) {
        const auto c = static_cast<unsigned char>(setting[i]);
        if (c < 0x20 || c == 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
        } else {
            shown += static_cast<char>(c);
        }
    }
    return setting.size() > kShownBytes ? shown + "..." : shown;
}

// The closest names to name, as "; did you mean ..."; a pointer to the list of names otherwise.
std::string Suggestions(const std::string& name) {
    std::vector<std::string> names;
    for (const auto* row : parameters::NamedParameters()) {
        names.push_back(parameters::ParameterName(*row));
    }
    const std::string text = DidYouMean(ClosestNames(name, names));
    return text.empty() ? "; marlinq-cli params lists them" : text;
}

// The parameter of NAME or [DIALOG:]ID before the '=' at eq; false with the reason.
bool ResolveTarget(const std::string& setting, std::size_t eq, SetOption* option, std::string* error) {
    const std::string target = setting.substr(0, eq);
    const parameters::ParameterRow* row = nullptr;
    if (!target.empty() && (target.front() < '0' || target.front() > '9')) {
        row = parameters::FindParameterNamed(target);
        if (row == nullptr) {
            *error = "--set " + Shown(setting) + ": unknown parameter " + Shown(target) + Suggestions(target);
            return false;
        }
        option->dialog = row->dialog;
        option->id = row->id;
    } else {
        const auto colon = target.find(':');
        long dialog = IDD_MARLINQ_DIALOG;
        long id = 0;
        if ((colon != std::string::npos && !ParseNumber(target.substr(0, colon), &dialog)) ||
            !ParseNumber(colon == std::string::npos ? target : target.substr(colon + 1), &id)) {
            *error =
                "--set " + Shown(setting) + ": expected [DIALOG:]ID=VALUE with numbers for DIALOG and ID";
            return false;
        }
        if (!parameters::IsParameterDialog(static_cast<unsigned>(dialog))) {
            *error = "--set " + Shown(setting) + ": dialog " + std::to_string(dialog) +
                     " holds no parameters (102 main window, 132 TCP/UDP, 134 MODBUS, 135 HTTPS, 133 MQTT)";
            return false;
        }
        row = parameters::FindParameter(static_cast<unsigned>(dialog), static_cast<int>(id));
        if (row == nullptr) {
            *error = "--set " + Shown(setting) + ": control " + std::to_string(id) + " of dialog " +
                     std::to_string(dialog) + " is no parameter";
            return false;
        }
        option->dialog = static_cast<unsigned>(dialog);
        option->id = static_cast<int>(id);
    }
    option->row = row;
    option->name = parameters::ParameterName(*row);
    option->value = setting.substr(eq + 1);
    return true;
}

}  // namespace

bool ParseSetTarget(const std::string& setting, SetOption* option, std::string* error) {
    const auto eq = setting.find('=');
    if (eq == std::string::npos) {
        *error = "--set " + Shown(setting) + ": expected NAME=VALUE or [DIALOG:]ID=VALUE";
        return false;
    }
    return ResolveTarget(setting, eq, option, error);
}

bool ParseSetOption(const std::string& setting, SetOption* option, std::string* error) {
    if (!ParseSetTarget(setting, option, error)) {
        return false;
    }
    const std::string why = parameters::CheckParameterValue(*option->row, option->value);
    if (!why.empty()) {
        *error = "--set " + Shown(setting) + ": " + why;
        return false;
    }
    const bool byName = setting.front() < '0' || setting.front() > '9';
    if (byName && option->row->kind == parameters::ParamKind::RadioPair) {
        // 0 ticks the Disable button, which unticks Enable.
        option->id = option->value == "1" ? option->row->id : option->row->offId;
        option->value = "1";
    }
    return true;
}

}  // namespace marlinq::cli
