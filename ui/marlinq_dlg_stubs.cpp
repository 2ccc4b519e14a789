// Operations of the main window that later parts of the tool supply. Each STUB logs its own name
// so that a press shows it was routed; each is replaced where its part is built.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::LogStub(const char* name) {
    AddLog(std::string("[stub] ") + name);
}

// STUB: loads Config.xml beside the program (XML load and save).
void CMarlinqDlg::LoadStartupConfig() {
    LogStub("LoadStartupConfig");
}

// STUB: saves Config.xml beside the program (XML load and save).
void CMarlinqDlg::SaveConfigOnExit() {
    LogStub("SaveConfigOnExit");
}

// STUB: saves the parameters to an XML file of the user's choice.
void CMarlinqDlg::OnBtnSave() {
    LogStub("OnBtnSave");
}

// STUB: imports an XML parameter file.
void CMarlinqDlg::OnBtnImportXml() {
    LogStub("OnBtnImportXml");
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
