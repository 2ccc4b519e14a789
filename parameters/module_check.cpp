#include "parameters/module_check.h"

#include "parameters/dtucfg_args.h"
#include "parameters/parameter_ids.h"
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

const ParameterRow* MainRow(const char* name) {
    return FindParameterByName(marlinq::IDD_MARLINQ_DIALOG, name);
}

void Compare(std::vector<ModuleDifference>& out, const ParameterRow* row, const std::string& name,
             const std::string& sent, const std::string& reported) {
    if (sent != reported) {
        out.push_back({row, name, sent, reported});
    }
}

}  // namespace

std::vector<ModuleDifference> ModuleDifferences(const ModuleValues& sent, const ModuleValues& reported) {
    std::vector<ModuleDifference> out;
    if (sent.hasDtuCfg) {
        const auto s = SplitDtuCfgAnswer(sent.dtuCfg);
        const auto r = reported.hasDtuCfg ? SplitDtuCfgAnswer(reported.dtuCfg) : std::nullopt;
        for (std::size_t k = 0; s && k < kDtuCfgFieldCount; ++k) {
            const int field = static_cast<int>(k) + 1;
            Compare(out, DtuCfgFieldRow(field), DtuCfgFieldName(field), (*s)[k], r ? (*r)[k] : std::string());
        }
    }
    if (sent.hasNetwork) {
        Compare(out, MainRow("NetMode"), "NetMode", sent.cnmp, reported.cnmp);
        Compare(out, MainRow("APN"), "APN", sent.apn, reported.apn);
        Compare(out, MainRow("Username"), "Username", sent.user, reported.user);
        Compare(out, MainRow("Password"), "Password", sent.password, reported.password);
    }
    return out;
}

std::vector<std::string> CompareWithModule(const ModuleValues& sent, const ModuleValues& reported) {
    std::vector<std::string> out;
    for (const auto& d : ModuleDifferences(sent, reported)) {
        out.push_back(d.name + ": sent " + d.sent + ", module reports " + d.reported);
    }
    return out;
}

}  // namespace parameters
