#include "ui/mode_pages.h"

#include "framework/control_access.h"
#include "parameters/parameter_controls.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq {

CDlgTCPMode::CDlgTCPMode(CMarlinqDlg* owner) : fw::CDialog(IDD_TCP_MODE, owner), m_pOwner(owner) {
    m_messageMap.Command(IDC_TCP_CHK_IMSI, [this] { OnChkImsi(); });
}

fw::BOOL CDlgTCPMode::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    fw::CDialogControlAccess page(*this);
    parameters::SetStartValues(IDD_TCP_MODE, page);
    return fw::TRUE;
}

void CDlgTCPMode::OnChkImsi() {
    if (IsDlgButtonChecked(IDC_TCP_CHK_IMSI) != fw::BST_CHECKED) {
        return;  // unticking keeps the registration packet text
    }
    // The IMSI becomes the registration packet; no AT port empties the edit.
    SetDlgItemText(IDC_TCP_REGPACKET, m_pOwner->At().QueryCimi());
}

CDlgModBusMode::CDlgModBusMode(fw::CDialog* parent) : fw::CDialog(IDD_MODBUS_MODE, parent) {}

CDlgHTTPSMode::CDlgHTTPSMode(fw::CDialog* parent) : fw::CDialog(IDD_HTTPS_MODE, parent) {}

fw::BOOL CDlgHTTPSMode::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    fw::CDialogControlAccess page(*this);
    parameters::SetStartValues(IDD_HTTPS_MODE, page);
    return fw::TRUE;
}

CDlgMQTTMode::CDlgMQTTMode(fw::CDialog* parent) : fw::CDialog(IDD_MQTT_MODE, parent) {}

}  // namespace marlinq
