// The AT console of the main window; the AT command wrappers forward to the AT client.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::OnBtnSend() {
    const std::string text = GetDlgItemText(IDC_EDIT_AT_COMMAND);
    if (!text.empty()) {
        QuickQuery(text);
    }
}

void CMarlinqDlg::OnBtnCsq() {
    QuickQuery("AT+CSQ");
}

void CMarlinqDlg::OnBtnNetwork() {
    QuickQuery("AT+CPSI?");
}

void CMarlinqDlg::OnBtnSimCard() {
    QuickQuery("AT+CPIN?");
}

void CMarlinqDlg::OnBtnDtuCfg() {
    QuickQuery("AT+DTUCFG?");
}

}  // namespace marlinq
