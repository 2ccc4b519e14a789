#include "framework/win_app.h"

namespace fw {

int CWinApp::Run() {
    m_thread.BindToCurrentThread();
    InitInstance();
    const int code = ExitInstance();
    // Nothing is handled after the main window is gone; waiting posts are dropped.
    m_thread.Close();
    return code;
}

}  // namespace fw
