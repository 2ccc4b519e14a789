// The parameter list of marlinq-cli params. Everything comes from the parameter table and the
// dialog templates; nothing here names a parameter.
#include "cli/params_command.h"

#include <iostream>

#include "atlink/at_commands.h"
#include "cli/failures.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/parameter_layout.h"
#include "parameters/parameter_names.h"
#include "parameters/value_tables.h"

namespace marlinq::cli {

namespace {

using parameters::AtCommand;
using parameters::ParameterRow;
using parameters::ParamKind;

constexpr const char* kParamsArguments = "[--json]";

const char* KindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::Combo:
            return "choice";
        case ParamKind::Check:
            return "check";
        case ParamKind::RadioPair:
            return "on/off pair";
        default:
            return "text";
    }
}

// The command as the module knows it: its request up to the "=".
std::string CommandName(AtCommand command) {
    const atlink::AtSetCommand* set = nullptr;
    switch (command) {
        case AtCommand::DtuMode:
            set = &atlink::kSetDtuMode;
            break;
        case AtCommand::MultiSockCfg:
            set = &atlink::kSetMultiSockCfg;
            break;
        case AtCommand::ModbusCfg:
            set = &atlink::kSetModbusCfg;
            break;
        case AtCommand::ModbusCmd:
            set = &atlink::kSetModbusCmd;
            break;
        case AtCommand::Host:
            set = &atlink::kSetHost;
            break;
        case AtCommand::MqttCfg:
            set = &atlink::kSetMqttCfg;
            break;
        case AtCommand::SubTopic:
            set = &atlink::kSetSubTopic;
            break;
        case AtCommand::PubTopic:
            set = &atlink::kSetPubTopic;
            break;
        case AtCommand::Cnmp:
            set = &atlink::kSetCnmp;
            break;
        case AtCommand::Apn:
            set = &atlink::kSetApn;
            break;
        case AtCommand::Auth:
            set = &atlink::kSetAuth;
            break;
        case AtCommand::None:
            return {};
    }
    const std::string_view request = set->request;
    return std::string(request.substr(0, request.find('=')));
}

std::string DtuCfgName() {
    const std::string_view request = atlink::kSetDtuCfg.request;
    return std::string(request.substr(0, request.find('=')));
}

// Where the parameter travels: "AT+DTUCFG field 3", "AT+MQTTCFG field 2", "AT+MULTISOCKCFG #2
// field 3" (#N: which of several commands of the kind), "AT+CNMP" (a command of one value),
// "decides AT+MODBUSCFG" (the box that decides whether or in which form a command is sent);
// several joined by "; ", empty for none.
std::string Carriers(const ParameterRow& row) {
    std::vector<std::string> parts;
    if (row.dtuCfgField > 0) {
        parts.push_back(DtuCfgName() + " field " + std::to_string(row.dtuCfgField));
    }
    if (row.countedIn > 0) {
        parts.push_back(DtuCfgName() + " field " + std::to_string(row.countedIn) + " (counted)");
    }
    if ((row.flags & parameters::kHexPrefix) != 0) {
        parts.push_back(DtuCfgName() + " beat text (0X in front)");
    }
    if (row.carrier.command != AtCommand::None) {
        std::string name = CommandName(row.carrier.command);
        if (row.carrier.instance > 0) {
            name += " #" + std::to_string(row.carrier.instance);
        }
        // A command that carries one value needs no field number.
        const bool alone = parameters::CommandFields(row.carrier.command, row.carrier.instance).size() == 1;
        parts.push_back(row.carrier.field == 0 ? "decides " + name
                        : alone                ? name
                                               : name + " field " + std::to_string(row.carrier.field));
    }
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : "; ") + part;
    }
    return text;
}

std::vector<std::string> Choices(const ParameterRow& row) {
    switch (row.kind) {
        case ParamKind::Combo:
            return row.values != nullptr
                       ? std::vector<std::string>(row.values->items.begin(), row.values->items.end())
                       : std::vector<std::string>{};
        case ParamKind::Check:
        case ParamKind::RadioPair:
            return {"0", "1"};
        default:
            return {};
    }
}

bool DigitsOnly(const ParameterRow& row) {
    return (row.flags & parameters::kDigits) != 0 || row.bounds.number;
}

// The values in words for the table: "a|b|c", "1..65535", "digits", "up to 100 bytes".
std::string ValuesText(const ParameterRow& row) {
    const auto choices = Choices(row);
    if (!choices.empty()) {
        std::string text;
        for (const auto& c : choices) {
            text += (text.empty() ? "" : "|") + c;
        }
        return text;
    }
    if (row.bounds.number) {
        return std::to_string(row.bounds.min) + ".." + std::to_string(row.bounds.max);
    }
    if (DigitsOnly(row)) {
        return "digits";
    }
    return row.bounds.maxBytes > 0 ? "up to " + std::to_string(row.bounds.maxBytes) + " bytes"
                                   : std::string();
}

// --set cannot change it: it is read from the module, its box runs an action, or the window
// keeps its control disabled.
bool ReadOnly(const ParameterRow& row) {
    const fw::ControlTemplate* c = ParameterControl(row);
    return (row.flags & (parameters::kReadOnly | parameters::kAction)) != 0 ||
           (c != nullptr && (c->style & fw::kDisabled) != 0);
}

bool Hidden(const ParameterRow& row) {
    const fw::ControlTemplate* c = ParameterControl(row);
    return c != nullptr && (c->style & fw::kHidden) != 0;
}

// The columns a terminal gives text: East Asian wide characters take two.
std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                          (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                          (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                          (code >= 0xFFE0 && code <= 0xFFE6);
        columns += wide ? 2 : 1;
        i += length;
    }
    return columns;
}

void PrintTable(const std::vector<const ParameterRow*>& rows, std::ostream& out) {
    std::vector<std::vector<std::string>> lines = {
        {"NAME", "LABEL", "KIND", "VALUES", "DEFAULT", "READ-ONLY", "AT COMMAND"}};
    for (const ParameterRow* row : rows) {
        const std::string label = ParameterLabel(*row);
        lines.push_back({parameters::ParameterName(*row), label.empty() ? "-" : label, KindName(row->kind),
                         ValuesText(*row), row->defaultValue, ReadOnly(*row) ? "yes" : "no", Carriers(*row)});
        for (auto& cell : lines.back()) {
            cell = cell.empty() ? "-" : cell;
        }
    }
    std::vector<std::size_t> widths(lines.front().size(), 0);
    for (const auto& line : lines) {
        for (std::size_t c = 0; c < line.size(); ++c) {
            widths[c] = std::max(widths[c], Columns(line[c]));
        }
    }
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size()) {
                text += std::string(widths[c] - Columns(line[c]) + 2, ' ');
            }
        }
        out << text << "\n";
    }
}

void PrintJson(const std::vector<const ParameterRow*>& rows, std::ostream& out) {
    JsonWriter json;
    json.BeginArray();
    for (const ParameterRow* row : rows) {
        json.BeginObject();
        json.Field("name", parameters::ParameterName(*row));
        json.Field("label", ParameterLabel(*row));
        json.Field("page", parameters::PageName(row->dialog));
        json.Field("kind", KindName(row->kind));
        if (const auto choices = Choices(*row); !choices.empty()) {
            json.Key("values").BeginArray();
            for (const auto& c : choices) {
                json.String(c);
            }
            json.EndArray();
        }
        if (row->kind == ParamKind::Edit) {
            json.Field("digitsOnly", DigitsOnly(*row));
            if (row->bounds.number) {
                json.Field("min", static_cast<long long>(row->bounds.min));
                json.Field("max", static_cast<long long>(row->bounds.max));
            } else if (row->bounds.maxBytes > 0) {
                json.Field("maxBytes", static_cast<long long>(row->bounds.maxBytes));
            }
        }
        json.Field("default", row->defaultValue);
        json.Field("readOnly", ReadOnly(*row));
        json.Field("hidden", Hidden(*row));
        const std::string carriers = Carriers(*row);
        if (carriers.empty()) {
            json.Key("command").Null();
        } else {
            json.Field("command", carriers);
        }
        json.EndObject();
    }
    json.EndArray();
    out << json.Text();
}

}  // namespace

int RunParams(const Args& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, {FlagOption("--json")}, &parsed, &error)) {
        return UsageError("params", kParamsArguments, error, err);
    }
    if (!parsed.rest.empty()) {
        return UsageError("params", kParamsArguments, "unexpected argument " + parsed.rest.front(), err);
    }
    const auto rows = ParametersInWindowOrder();
    if (parsed.Has("--json")) {
        PrintJson(rows, out);
    } else {
        PrintTable(rows, out);
    }
    return out.flush() ? kExitDone : kExitFailed;
}

int RunParamsCommand(const Args& args) {
    return RunParams(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
