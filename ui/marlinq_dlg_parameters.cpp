// The parameter handlers of the main window: each runs its flow in parameters/ and keeps how it
// ended.
#include "ui/marlinq_dlg.h"

namespace marlinq {

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

}  // namespace marlinq
