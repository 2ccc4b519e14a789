#include "parameters/module_check.h"

#include "parameters/dtucfg_args.h"
#include "parameters/parameter_table.h"

namespace parameters {

std::string DtuCfgFieldName(int field) {
    switch (field) {
        case 11:
            return "DTUCFG field 11";
        case 15:
            return "ServerCount";
        case 16:
            return "ModbusCmdCount";
        default:
            break;
    }
    for (const auto& row : ParameterTable()) {
        if (row.dtuCfgField == field) {
            return row.name;
        }
    }
    return "DTUCFG field " + std::to_string(field);
}

namespace {

void Compare(std::vector<std::string>& out, const std::string& name, const std::string& sent,
             const std::string& reported) {
    if (sent != reported) {
        out.push_back(name + ": sent " + sent + ", module reports " + reported);
    }
}

}  // namespace

std::vector<std::string> CompareWithModule(const ModuleValues& sent, const ModuleValues& reported) {
    std::vector<std::string> out;
    if (sent.hasDtuCfg) {
        const auto s = SplitDtuCfgAnswer(sent.dtuCfg);
        const auto r = reported.hasDtuCfg ? SplitDtuCfgAnswer(reported.dtuCfg) : std::nullopt;
        for (std::size_t k = 0; s && k < kDtuCfgFieldCount; ++k) {
            Compare(out, DtuCfgFieldName(static_cast<int>(k) + 1), (*s)[k], r ? (*r)[k] : std::string());
        }
    }
    if (sent.hasNetwork) {
        Compare(out, "NetMode", sent.cnmp, reported.cnmp);
        Compare(out, "APN", sent.apn, reported.apn);
        Compare(out, "Username", sent.user, reported.user);
        Compare(out, "Password", sent.password, reported.password);
    }
    return out;
}

}  // namespace parameters
