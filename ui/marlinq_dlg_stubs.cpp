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

// STUB: the read flow.
void CMarlinqDlg::OnBtnGet() {
    LogStub("OnBtnGet");
}

// STUB: the download flow.
void CMarlinqDlg::OnBtnDownload() {
    LogStub("OnBtnDownload");
}

// STUB: saves the parameters to an XML file of the user's choice.
void CMarlinqDlg::OnBtnSave() {
    LogStub("OnBtnSave");
}

// STUB: imports an XML parameter file.
void CMarlinqDlg::OnBtnImportXml() {
    LogStub("OnBtnImportXml");
}

// STUB: reads the extended network parameters.
void CMarlinqDlg::ReadExtendedParams() {
    LogStub("ReadExtendedParams");
}

// STUB: downloads the extended network parameters.
void CMarlinqDlg::DownloadExtendedParams() {
    LogStub("DownloadExtendedParams");
}

// STUB: loads a parameter file into the controls (XML load and save).
fw::BOOL CMarlinqDlg::LoadXmlConfig(const std::string& path) {
    LogStub(("LoadXmlConfig " + path).c_str());
    return fw::FALSE;
}

// STUB: the read flow's version read, run by the scanner when it finds the module.
void CMarlinqDlg::ReadVersions() {
    LogStub("ReadVersions");
}

}  // namespace marlinq
