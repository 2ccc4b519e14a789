#include "ui/marlinq_app.h"

#include "platform/desktop_setup.h"
#include "ui/marlinq_dlg.h"
#include "ui/skin.h"
#include "ui/templates.h"

namespace marlinq {

namespace {

// The company name of the application's registry key.
constexpr char kCompanyName[] = "应用程序向导生成的本地应用程序";

}  // namespace

CMarlinqApp::CMarlinqApp() : fw::CWinApp(&Templates()) {}

CMarlinqDlg* CMarlinqApp::MainWindow() const {
    return static_cast<CMarlinqDlg*>(m_pMainWnd);
}

fw::BOOL CMarlinqApp::InitInstance() {
    // The views set up their toolkit (common controls, COM, the Windows view's rich-edit support)
    // before the main window runs; what is left is the registry key and the skin, whose results
    // are ignored.
    platform::SetRegistryKey(kCompanyName);
    InitializeSkin("XPCorona.ssk");

    {
        CMarlinqDlg dlg(Thread());
        dlg.SetSaveConfigOnExit(m_saveConfigOnExit);
        m_pMainWnd = &dlg;
        dlg.Session().SetPacing(m_pacing);
        if (m_nPinnedPort > 0) {
            dlg.PinSession(m_nPinnedPort, m_bPinnedReadsVersions);
        }
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }  // the window's threads have ended in OnDestroy, before the object goes away
    return fw::FALSE;
}

int CMarlinqApp::ExitInstance() {
    return 0;
}

}  // namespace marlinq
