// CMarlinqApp: the tool's start-up. Prepares the platform, runs the main window modally and ends
// the program when it closes.
#pragma once

#include "atlink/at_pacing.h"
#include "framework/win_app.h"

namespace marlinq {

class CMarlinqDlg;

class CMarlinqApp : public fw::CWinApp {
  public:
    CMarlinqApp();

    // The running main window, or nullptr; window thread.
    CMarlinqDlg* MainWindow() const;
    // The main window's session is pinned to COM com (CMarlinqDlg::PinSession); before Run.
    void PinSession(int com, bool readVersions) {
        m_nPinnedPort = com;
        m_bPinnedReadsVersions = readVersions;
    }

    // How the main window's session paces its AT transactions (atlink::ModuleSession::SetPacing); before Run.
    void SetPacing(atlink::Pacing pacing) { m_pacing = pacing; }

    // Whether the main window saves "Config.xml" when it closes (the default); set before Run.
    void SetSaveConfigOnExit(bool save) { m_saveConfigOnExit = save; }

  protected:
    fw::BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    int m_nPinnedPort = 0;
    bool m_bPinnedReadsVersions = true;
    bool m_saveConfigOnExit = true;
    atlink::Pacing m_pacing = atlink::Pacing::Fixed;
};

}  // namespace marlinq
