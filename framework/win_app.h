// The application object: start-up and exit of a program whose only window is a modal dialog.
#pragma once

#include "framework/dialog_template.h"
#include "framework/types.h"
#include "framework/window_thread.h"

namespace fw {

class CDialog;

class CWinApp {
  public:
    explicit CWinApp(const ITemplateSource* templates) : m_thread(templates) {}
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs InitInstance on the calling thread, which becomes the window thread, and then
    // ExitInstance; returns the exit code. Views attach to Thread() before calling it.
    int Run();

    CWindowThread& Thread() { return m_thread; }

  protected:
    // Returns FALSE when no message loop is to follow (the program ends after it).
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    CDialog* m_pMainWnd = nullptr;

  private:
    CWindowThread m_thread;
};

}  // namespace fw
