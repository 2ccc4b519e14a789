// The parameter handlers of the main window: each forwards to its flow in parameters/.
#include "parameters/parameter_controls.h"
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::InitParameterControls() {
    parameters::InitParameterControls(m_mainControls);
}

void CMarlinqDlg::OnBtnGet() {
    m_lastFlowOutcome = m_readFlow.OnBtnGet();
}

void CMarlinqDlg::OnBtnDownload() {
    m_lastFlowOutcome = m_downloadFlow.OnBtnDownload();
}

void CMarlinqDlg::ReadExtendedParams() {
    m_lastFlowOutcome = m_readFlow.ReadExtendedParams();
}

void CMarlinqDlg::DownloadExtendedParams() {
    m_lastFlowOutcome = m_downloadFlow.DownloadExtendedParams();
}

// On the scanner thread: the control writes are queued to the window thread.
void CMarlinqDlg::ReadVersions() {
    m_versionReader.ReadVersions(m_mainControls);
}

void CMarlinqDlg::ShowInputWarning(const std::string& text) {
    MessageBox(text, "\x1bMarlinq", fw::MB_OK | fw::MB_ICONEXCLAMATION);
}

}  // namespace marlinq
