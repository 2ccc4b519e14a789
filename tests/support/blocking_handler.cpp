#include "tests/support/blocking_handler.h"

#include <chrono>
#include <string>
#include <thread>

#include "ui/marlinq_dlg.h"

namespace testsupport {

void QueueBlockingHandler(fw::CWindowThread& thread, fw::HWND main, std::atomic<bool>& release,
                          std::atomic<bool>& done) {
    thread.PostTask(main, [&release, &done](fw::CDialog* d) {
        auto* dlg = static_cast<marlinq::CMarlinqDlg*>(d);
        for (int i = 0; i < 4; ++i) {
            dlg->AddLog("step " + std::to_string(i));
        }
        while (!release.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        dlg->AddLog("step 4");
        done = true;
    });
}

}  // namespace testsupport
