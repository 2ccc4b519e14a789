#include "ui/marlinq_app.h"

#include "ui/marlinq_dlg.h"
#include "ui/skin.h"
#include "ui/templates.h"

namespace marlinq {

CMarlinqApp::CMarlinqApp() : fw::CWinApp(&Templates()) {}

CMarlinqDlg* CMarlinqApp::MainWindow() const {
    return static_cast<CMarlinqDlg*>(m_pMainWnd);
}

fw::BOOL CMarlinqApp::InitInstance() {
    // The desktop platform needs no common-control, COM or visual-manager preparation here: the
    // views set up their toolkit before the main window runs. The skin's result is ignored.
    InitializeSkin("XPCorona.ssk");

    {
        CMarlinqDlg dlg(Thread());
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }  // the window's threads have ended in OnDestroy, before the object goes away
    return fw::FALSE;
}

int CMarlinqApp::ExitInstance() {
    return 0;
}

}  // namespace marlinq
