// CMarlinqApp: the tool's start-up. Prepares the platform, runs the main window modally and ends
// the program when it closes.
#pragma once

#include "framework/win_app.h"

namespace marlinq {

class CMarlinqDlg;

class CMarlinqApp : public fw::CWinApp {
  public:
    CMarlinqApp();

    // The running main window, or nullptr; window thread.
    CMarlinqDlg* MainWindow() const;

  protected:
    fw::BOOL InitInstance() override;
    int ExitInstance() override;
};

}  // namespace marlinq
