#include "dialog_probe.h"

#include <string>

#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq::win32test {

namespace {

template <class F>
auto OnDialog(fw::CDialogDriver& main, F fn) {
    return main.Call([fn](fw::CDialog* d) { return fn(*static_cast<CMarlinqDlg*>(d)); });
}

}  // namespace

static_assert(kModePageTcp == MODE_PAGE_TCP && kModePageMqtt == MODE_PAGE_MQTT);

int CurrentPages(fw::CDialogDriver& main) {
    return OnDialog(main, [](CMarlinqDlg& d) { return d.CurModePage() * 10 + d.TabSheet().GetCurPage(); });
}

fw::HWND PageHwnd(fw::CDialogDriver& main, int index) {
    return OnDialog(main, [index](CMarlinqDlg& d) {
        fw::CDialog* page = d.TabSheet().GetPage(index);
        return page != nullptr ? page->GetSafeHwnd() : 0;
    });
}

void SetResetTime(fw::CDialogDriver& main, const char* text) {
    const std::string value = text;
    OnDialog(main, [value](CMarlinqDlg& d) {
        d.PageControls(MODE_PAGE_TCP).SetWindowText(IDC_TCP_RESET_TIME, value);
        return 0;
    });
}

void QueueDownload(fw::CWindowThread& thread, fw::HWND main) {
    thread.PostTask(main, [](fw::CDialog* d) { static_cast<CMarlinqDlg*>(d)->OnBtnDownload(); });
}

void QueueLogLines(fw::CWindowThread& thread, fw::HWND main, int lines) {
    thread.PostTask(main, [lines](fw::CDialog* d) {
        for (int i = 0; i < lines; ++i) {
            static_cast<CMarlinqDlg*>(d)->AddLog("line " + std::to_string(i));
        }
    });
}

}  // namespace marlinq::win32test
