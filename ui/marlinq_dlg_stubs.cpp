// Operations of the main window that later parts of the tool supply. Each STUB logs its own name
// so that a press shows it was routed; each is replaced where its part is built.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::LogStub(const char* name) {
    AddLog(std::string("[stub] ") + name);
}

// STUB: factory reset over ADB.
void CMarlinqDlg::OnBtnFactoryReset() {
    LogStub("OnBtnFactoryReset");
}

// STUB: chooses an XML file to push over ADB.
void CMarlinqDlg::OnBtnXmlSelect() {
    LogStub("OnBtnXmlSelect");
}

// STUB: pushes the chosen XML file over ADB.
void CMarlinqDlg::OnBtnXmlDownload() {
    LogStub("OnBtnXmlDownload");
}

// STUB: continues a waiting ADB push (ADB transfer flows).
void CMarlinqDlg::OnAdbPushXml() {
    LogStub("OnAdbPushXml");
}

}  // namespace marlinq
