// The ADB commands of the main window: each forwards to the ADB transfer or the XML file commands.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::OnBtnFactoryReset() {
    m_adb->Commands().OnBtnFactoryReset();
}

void CMarlinqDlg::OnBtnXmlSelect() {
    m_adb->Commands().OnBtnXmlSelect();
}

void CMarlinqDlg::OnBtnXmlDownload() {
    m_adb->Commands().OnBtnXmlDownload();
}

void CMarlinqDlg::OnAdbPushXml() {
    m_adb->Transfer().OnAdbPushXml();
}

}  // namespace marlinq
