#include "cli/parameter_report.h"

#include <algorithm>

#include "cli/json_writer.h"
#include "parameters/parameter_names.h"
#include "ui/marlinq_dlg.h"

namespace marlinq::cli {

namespace {

using parameters::ParameterRow;
using parameters::ParamKind;

fw::IControlAccess* ControlsOf(CMarlinqDlg& dlg, unsigned dialog) {
    switch (dialog) {
        case IDD_MARLINQ_DIALOG:
            return &dlg.MainControls();
        case IDD_TCP_MODE:
            return &dlg.PageControls(MODE_PAGE_TCP);
        case IDD_MODBUS_MODE:
            return &dlg.PageControls(MODE_PAGE_MODBUS);
        case IDD_HTTPS_MODE:
            return &dlg.PageControls(MODE_PAGE_HTTPS);
        case IDD_MQTT_MODE:
            return &dlg.PageControls(MODE_PAGE_MQTT);
        default:
            return nullptr;
    }
}

std::string ShownValue(const fw::IControlAccess& controls, const ParameterRow& row) {
    const auto ticked = [&controls](int id) { return controls.GetCheck(id) == fw::BST_CHECKED; };
    switch (row.kind) {
        case ParamKind::Check:
            return ticked(row.id) ? "1" : "0";
        case ParamKind::RadioPair:
            return ticked(row.id) ? "1" : ticked(row.offId) ? "0" : "";
        default:
            return controls.GetWindowText(row.id);
    }
}

const NamedValue* Find(const std::vector<NamedValue>& values, const char* page, const char* name) {
    const std::string wanted = std::string(page) + "." + name;
    for (const auto& v : values) {
        if (v.name == wanted) {
            return &v;
        }
    }
    return nullptr;
}

void WriteVersions(JsonWriter& json, const std::vector<NamedValue>& values) {
    json.Key("versions").BeginObject();
    if (const auto* firmware = Find(values, "main", "FirmwareVersion")) {
        json.Field("firmware", firmware->value);
    }
    const auto* hw1 = Find(values, "main", "HwVersionPart1");
    const auto* hw2 = Find(values, "main", "HwVersionPart2");
    if (hw1 != nullptr && hw2 != nullptr) {
        json.Field("hardware",
                   hw1->value.empty() && hw2->value.empty() ? std::string() : hw1->value + "_" + hw2->value);
    }
    if (const auto* app = Find(values, "main", "AppVersion")) {
        json.Field("application", app->value);
    }
    json.EndObject();
}

}  // namespace

std::vector<NamedValue> ShownValues(CMarlinqDlg& dlg, const std::vector<const ParameterRow*>& rows) {
    std::vector<NamedValue> values;
    for (const ParameterRow* row : rows) {
        if (const fw::IControlAccess* controls = ControlsOf(dlg, row->dialog)) {
            values.push_back({row, parameters::ParameterName(*row), ShownValue(*controls, *row)});
        }
    }
    return values;
}

std::vector<const ParameterRow*> OnlyRows(const std::vector<const ParameterRow*>& rows,
                                          const std::vector<const ParameterRow*>& keep) {
    std::vector<const ParameterRow*> out;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(out), [&keep](const ParameterRow* row) {
        return std::find(keep.begin(), keep.end(), row) != keep.end();
    });
    return out;
}

std::string ValueLines(const std::vector<NamedValue>& values) {
    std::string text;
    for (const auto& v : values) {
        text += v.name + "=" + v.value + "\n";
    }
    return text;
}

std::string ReportJson(const ParameterReport& report) {
    JsonWriter json;
    json.BeginObject();
    json.Field("ok", report.exitCode == 0);
    json.Field("exit", report.exitCode);
    if (report.failure.empty()) {
        json.Key("failure").Null();
    } else {
        json.Field("failure", report.failure);
    }
    WriteVersions(json, report.values);
    if (!report.imsi.empty()) {
        json.Field("imsi", report.imsi);
    }
    json.Key("parameters").BeginObject();
    for (const auto& v : report.values) {
        json.Field(v.name, v.value);
    }
    json.EndObject();
    if (report.compared) {
        json.Key("differences").BeginArray();
        for (const auto& d : report.differences) {
            json.BeginObject()
                .Field("name", d.name)
                .Field("sent", d.sent)
                .Field("reported", d.reported)
                .EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    return json.Text();
}

}  // namespace marlinq::cli
