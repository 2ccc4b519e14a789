#include "parameters/parameter_names.h"

#include <array>

#include "framework/ascii_case.h"
#include "parameters/parameter_ids.h"

namespace parameters {

namespace {

// The tabs stand in this order: TCP/UDP, MODBUS, HTTPS, MQTT.
constexpr std::array<const char*, 5> kPageNameList = {"main", "tcp", "modbus", "https", "mqtt"};
constexpr std::array<unsigned, kPageNameList.size()> kPageDialogs = {
    marlinq::IDD_MARLINQ_DIALOG, marlinq::IDD_TCP_MODE, marlinq::IDD_MODBUS_MODE, marlinq::IDD_HTTPS_MODE,
    marlinq::IDD_MQTT_MODE};

}  // namespace

std::span<const char* const> PageNames() {
    return kPageNameList;
}

const char* PageName(unsigned dialog) {
    for (std::size_t i = 0; i < kPageDialogs.size(); ++i) {
        if (kPageDialogs[i] == dialog) {
            return kPageNameList[i];
        }
    }
    return nullptr;
}

std::string ParameterName(const ParameterRow& row) {
    const char* page = row.kind == ParamKind::Fixed ? nullptr : PageName(row.dialog);
    return page == nullptr ? std::string() : std::string(page) + "." + row.name;
}

const ParameterRow* FindParameterNamed(std::string_view name) {
    for (const auto& row : ParameterTable()) {
        const std::string own = ParameterName(row);
        if (!own.empty() && fw::SameIgnoringAsciiCase(own, name)) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<const ParameterRow*> NamedParameters() {
    std::vector<const ParameterRow*> rows;
    for (const auto& row : ParameterTable()) {
        if (!ParameterName(row).empty()) {
            rows.push_back(&row);
        }
    }
    return rows;
}

}  // namespace parameters
