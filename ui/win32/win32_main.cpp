// Marlinq.exe: the configuration tool with its native Windows window.
#include "ui/win32/windows_api.h"

#include "platform/desktop_setup.h"
#include "platform/termination.h"
#include "ui/close_on_termination.h"
#include "ui/win32/app_loop.h"
#include "ui/working_directory.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before any thread starts: a termination request must reach no thread but ours.
    platform::HoldTerminationRequests();
    marlinq::LeaveInstalledProgramFolder();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;  // all common-control classes of the first set
    InitCommonControlsEx(&controls);
    // The rich-edit support, loaded here on the program's own thread before the window thread
    // starts (loaded from a window thread while the console program's main thread waits on its
    // console, the load never returns under Wine). Its result is ignored.
    platform::LoadRichEditSupport();
    // The common file dialogs want a single-threaded apartment on the thread that shows them.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 0;
    {
        marlinq::win32::CAppLoop loop(instance);
        // The end of the session closes the window as its close box does, so the configuration is
        // saved on the way out.
        const marlinq::CCloseOnTermination closeOnTermination(loop.Host());
        loop.Start();
        code = loop.Run();
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return code;
}
