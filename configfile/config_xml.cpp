#include "configfile/config_xml.h"

#include "configfile/config_document.h"
#include "configfile/config_messages.h"
#include "parameters/dtucfg_record.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/value_tables.h"

namespace configfile {

namespace {

using parameters::ParamKind;
using parameters::RecordField;

// The file carries the fault restart time in minutes, the record the module's minutes x 12, so
// that value goes to its edit directly, after the record has been shown.
bool TravelsInRecord(const ConfigLeaf& leaf) {
    return leaf.row->recordField >= 0 && leaf.row->recordField != static_cast<int>(RecordField::ResetTime);
}

std::string SaveFailureText(const std::string& path, const ConfigSaveResult& result) {
    const std::string reason = result.errorText.empty() ? std::string() : " (" + result.errorText + ")";
    if (result.outcome == ConfigSaveOutcome::kTargetRefused) {
        return "Cannot save to " + path + ": " + result.errorText + ". Nothing was written.";
    }
    if (result.outcome == ConfigSaveOutcome::kTargetOpenFailed) {
        return "Cannot create the file " + path + reason + ".";
    }
    return "An error occurred while writing the file " + path + reason + "; the previous file is unchanged.";
}

}  // namespace

CConfigXml::CConfigXml(ConfigControls controls, LogSink log, FileErrorBox fileError, std::string scratchPath)
    : m_controls(controls),
      m_log(std::move(log)),
      m_fileError(std::move(fileError)),
      m_scratchPath(std::move(scratchPath)) {}

fw::IControlAccess& CConfigXml::ControlsOf(unsigned dialog) const {
    if (dialog == marlinq::IDD_TCP_MODE) {
        return m_controls.tcp;
    }
    if (dialog == marlinq::IDD_MQTT_MODE) {
        return m_controls.mqtt;
    }
    return m_controls.main;
}

ConfigValues CConfigXml::GatherValues() const {
    ConfigValues values;
    const auto& leaves = ConfigLeaves();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const parameters::ParameterRow& row = *leaves[i].row;
        const fw::IControlAccess& controls = ControlsOf(row.dialog);
        switch (row.kind) {
            case ParamKind::Edit:
                values[i] = controls.GetWindowText(row.id);
                break;
            case ParamKind::Combo: {
                const int sel = controls.GetCurSel(row.id);
                values[i] = sel < 0 ? std::string() : controls.GetLBText(row.id, sel);
                break;
            }
            case ParamKind::Check:  // any state but unchecked counts as ticked
                values[i] = controls.GetCheck(row.id) != fw::BST_UNCHECKED ? "1" : "0";
                break;
            case ParamKind::RadioPair:  // "0" exactly when the Disable button is ticked
                values[i] = controls.GetCheck(row.offId) == fw::BST_CHECKED ? "0" : "1";
                break;
            case ParamKind::Fixed:
                break;
        }
    }
    return values;
}

void CConfigXml::ApplyLeaf(const ConfigLeaf& leaf, const std::string& value) {
    const parameters::ParameterRow& row = *leaf.row;
    fw::IControlAccess& controls = ControlsOf(row.dialog);
    switch (row.kind) {
        case ParamKind::Edit:
            controls.SetWindowText(row.id, value);
            break;
        case ParamKind::Combo: {
            const int index = row.values->IndexOf(value);
            if (row.id == marlinq::IDC_COMBO_BAUDRATE) {
                if (index >= 0) {  // a rate outside the list leaves the choice as it was
                    controls.SetCurSel(row.id, index);
                }
            } else {
                controls.SetCurSel(row.id, index >= 0 ? index : row.values->defaultIndex);
            }
            break;
        }
        case ParamKind::Check:
            controls.SetCheck(row.id, value == "1" ? fw::BST_CHECKED : fw::BST_UNCHECKED);
            break;
        case ParamKind::RadioPair: {
            const bool enable = value == "1";
            controls.SetCheck(row.offId, enable ? fw::BST_UNCHECKED : fw::BST_CHECKED);
            controls.SetCheck(row.id, enable ? fw::BST_CHECKED : fw::BST_UNCHECKED);
            break;
        }
        case ParamKind::Fixed:
            break;
    }
}

void CConfigXml::ApplyValues(const ConfigValues& values) {
    const auto& leaves = ConfigLeaves();
    parameters::DtuCfgRecord record;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].fixedValue != nullptr || !TravelsInRecord(leaves[i])) {
            continue;
        }
        const auto field = static_cast<RecordField>(leaves[i].row->recordField);
        record.Set(field, values[i]);
        if (record.Get(field) != values[i]) {
            m_log("XML value " + std::string(leaves[i].name) + " is longer than " +
                  std::to_string(parameters::kRecordWidths[static_cast<std::size_t>(field)] - 1) +
                  " bytes and was cut!");
        }
    }
    const auto applyWhere = [&](unsigned dialog) {
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            if (leaves[i].fixedValue == nullptr && leaves[i].row->dialog == dialog &&
                !TravelsInRecord(leaves[i])) {
                ApplyLeaf(leaves[i], values[i]);
            }
        }
    };
    applyWhere(marlinq::IDD_MARLINQ_DIALOG);
    parameters::ApplyDtuCfgRecord(m_controls.main, m_controls.tcp, record);
    applyWhere(marlinq::IDD_TCP_MODE);
    applyWhere(marlinq::IDD_MQTT_MODE);
}

fw::BOOL CConfigXml::SaveXmlConfig(const std::string& path) {
    const std::string document = WriteConfigDocument(GatherValues());
    const ConfigSaveResult result = SaveDocumentThroughScratch(document, path, m_scratchPath);
    m_lastFailure.clear();
    switch (result.outcome) {
        case ConfigSaveOutcome::kSaved:
            m_log(kMsgSaveDone);
            return fw::TRUE;
        case ConfigSaveOutcome::kScratchFailed:
            m_lastFailure = std::string("the scratch container ") + m_scratchPath + " cannot be written";
            m_log(kMsgSaveFailed);
            return fw::FALSE;
        case ConfigSaveOutcome::kTargetOpenFailed:
        case ConfigSaveOutcome::kTargetWriteFailed:
        case ConfigSaveOutcome::kTargetRefused:
            m_lastFailure = result.errorText.empty() ? std::string("it cannot be written") : result.errorText;
            m_fileError(SaveFailureText(path, result));
            return fw::FALSE;
    }
    return fw::FALSE;
}

fw::BOOL CConfigXml::LoadXmlConfig(const std::string& path) {
    ConfigValues values;
    ConfigReadProblem problem;
    const ConfigReadOutcome outcome = ReadConfigFile(path, &values, &problem);
    m_lastFailure.clear();
    if (outcome == ConfigReadOutcome::kRead) {
        ApplyValues(values);
        return fw::TRUE;
    }
    // The system's own line first, then which file and why.
    m_log(outcome == ConfigReadOutcome::kWrongRoot ? kMsgInvalidFile : kMsgImportFailed);
    m_lastFailure = problem.reason.empty() ? std::string("it cannot be read") : problem.reason;
    m_log(LoadFailureLine(path, m_lastFailure));
    return fw::FALSE;
}

}  // namespace configfile
