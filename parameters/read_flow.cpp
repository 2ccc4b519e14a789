#include "parameters/read_flow.h"

#include "parameters/dtucfg_args.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/value_tables.h"

namespace parameters {

using namespace marlinq;

FlowOutcome VersionReader::ReadVersions(fw::IControlAccess& main) {
    FlowOutcome out;
    m_log("Getting version... ");
    m_imsi.clear();
    // The lookup logs "No scan AT port! " when there is none. The queries go to the port found
    // now, whatever port is held open by hand (to the held port when the session is pinned).
    const int port = m_at.FoundPortOnly(atlink::kNoScanAtPort);
    if (port < 1) {
        out.Failed("No scan AT port!");
        return out;
    }
    atlink::CSerialPort serial;
    // The firmware version and the working mode are read without a line in the log; a failed
    // read still counts, and changes nothing.
    const std::string firmware = m_at.RunOnFoundPort(serial, port, atlink::kQueryGmr).value;
    if (!firmware.empty()) {
        main.SetWindowText(IDC_EDIT_FIRMWARE, firmware);
    } else {
        out.Failed("AT+GMR got no firmware version");
    }
    const std::string csub = m_at.RunOnFoundPort(serial, port, atlink::kQueryCsub).value;
    const auto underscore = csub.find('_');
    if (!csub.empty() && underscore != std::string::npos) {
        main.SetWindowText(IDC_EDIT_HW1, csub.substr(0, underscore));
        main.SetWindowText(IDC_EDIT_HW2, csub.substr(underscore + 1));
        m_log("CSUB get successfully! ");
    } else {
        LogFailure(m_log, out, "CSUB get failed! ");
    }
    const std::string ver = m_at.RunOnFoundPort(serial, port, atlink::kQueryVer).value;
    if (!ver.empty()) {
        m_log("VER get successfully! ");
        main.SetWindowText(IDC_EDIT_APP_VERSION, ver);
    } else {
        LogFailure(m_log, out, "VER get failed! ");
    }
    const std::string imsi = m_at.RunOnFoundPort(serial, port, atlink::kQueryCimi).value;
    m_imsi = imsi;
    if (!imsi.empty()) {
        m_log("CIMI get successfully! ");
        const int sim = SimIndexForImsi(imsi);
        if (sim >= 0) {
            main.SetCurSel(CommandSwitch(AtCommand::Auth)->id, sim);
        }
    } else {
        LogFailure(m_log, out, "CIMI get failed! ");
    }
    if (const auto mode = m_at.RunOnFoundPort(serial, port, atlink::kQueryDtuModeValue).value) {
        main.SetCurSel(CommandFields(AtCommand::DtuMode).front()->id, TypeIndexForDtuMode(*mode));
    } else {
        out.Failed("AT+DTUMODE? got no working mode");
    }
    return out;
}

ReadFlow::ReadFlow(fw::IControlAccess& main, fw::IControlAccess& tcp, atlink::AtClient& at, LogSink log)
    : m_main(main), m_tcp(tcp), m_at(at), m_log(log), m_versions(at, log), m_extended(m_main, at, log) {}

FlowOutcome ReadFlow::OnBtnGet() {
    m_main.Forget();
    m_tcp.Forget();
    m_log("\r\nStart reading parameters...");
    FlowOutcome out = ReadVersions();
    out.Add(ReadDtuCfg());
    out.Add(ReadExtendedParams());
    return out;
}

FlowOutcome ReadFlow::ReadDtuCfg() {
    FlowOutcome out;
    m_dtuCfg.clear();
    const std::string answer = m_at.QueryDtuCfg();
    if (answer.empty()) {
        LogFailure(m_log, out, "DTUCFG parameters get failed!");
        return out;
    }
    const auto reading = ReadDtuCfgAnswer(answer);
    if (!reading) {
        // Too few fields to place any of them; nothing is changed.
        LogFailure(m_log, out, "DTUCFG parameters are incomplete!");
        return out;
    }
    m_dtuCfg = answer;
    for (const ParameterRow* hex : RowsFlagged(kHexPrefix)) {
        Tick(m_tcp, hex->id, reading->beatHex);
    }
    const ParameterRow& baud = *DtuCfgFieldRow(1);
    m_main.SetCurSel(baud.id, baud.values->IndexOf(reading->fields[0]));
    m_main.SetCurSel(IDC_COMBO_SERIAL_TYPE, reading->serialTypeIndex);
    ApplyDtuCfgRecord(m_main, m_tcp, reading->record);
    return out;
}

ModuleValues ReadFlow::Read() const {
    ModuleValues read = m_extended.Read();
    read.hasDtuCfg = !m_dtuCfg.empty();
    read.dtuCfg = m_dtuCfg;
    return read;
}

std::vector<const ParameterRow*> ReadFlow::ReadRows() const {
    std::vector<const ParameterRow*> rows;
    for (const auto& row : ParameterTable()) {
        const WrittenControls* page = row.dialog == IDD_MARLINQ_DIALOG ? &m_main
                                      : row.dialog == IDD_TCP_MODE     ? &m_tcp
                                                                       : nullptr;
        if (page != nullptr && row.id != 0 &&
            (page->WasWritten(row.id) || (row.kind == ParamKind::RadioPair && page->WasWritten(row.offId)))) {
            rows.push_back(&row);
        }
    }
    return rows;
}

}  // namespace parameters
