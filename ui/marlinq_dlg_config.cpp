// Parameter files: Save, Import, the load of "Config.xml" at start and its save at exit.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::LoadStartupConfig() {
    m_configCommands.LoadStartupConfig();
}

void CMarlinqDlg::SaveConfigOnExit() {
    m_configCommands.SaveConfigOnExit();
}

void CMarlinqDlg::OnBtnSave() {
    m_configCommands.OnBtnSave();
}

void CMarlinqDlg::OnBtnImportXml() {
    m_configCommands.OnBtnImportXml();
}

}  // namespace marlinq
