// drive_window: drives the running Marlinq.exe through its real windows from another process, as a
// test tool does on Windows: finds the main window with FindWindowW, clicks buttons, reads texts.
//
//   drive_window wait-window SECONDS           the main window is shown
//   drive_window wait-log TEXT SECONDS         the log pane holds TEXT (or one of A|B|...)
//   drive_window wait-enabled ID SECONDS       control ID of the main window is enabled
//   drive_window click ID                      presses button ID of the main window
//   drive_window text PAGE ID                  prints the text of control ID (PAGE -1: main window)
//   drive_window tabs                          prints the tab count and the tab titles
//   drive_window select-tab INDEX              selects mode tab INDEX as the keyboard does
//   drive_window close                         the close box
// Exit code 0 on success, 1 when a wait timed out or a window or control is missing.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kLogPane = 1035;
constexpr int kTabs = 1060;
constexpr int kPageIdBase = 30000;

HWND MainWindow() {
    HWND w = FindWindowW(L"MarlinqDialog", L"Marlinq_Eng_V3.7");
    return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

std::string Text(HWND w) {
    // WM_GETTEXT is carried between processes by the system.
    const LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    const int size = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer.data(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

template <class F>
bool WaitFor(F cond, double seconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (!cond()) {
        if (static_cast<LONG>(GetTickCount() - end) > 0) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

int Fail(const char* what) {
    std::fprintf(stderr, "drive_window: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Fail("no command");
    }
    const std::string cmd = argv[1];
    if (cmd == "wait-window") {
        return WaitFor([] { return MainWindow() != nullptr; }, argc > 2 ? std::atof(argv[2]) : 30)
                   ? 0
                   : Fail("no window");
    }
    HWND main = MainWindow();
    if (main == nullptr) {
        return Fail("Marlinq's window is not shown");
    }
    if (cmd == "wait-log" && argc > 2) {
        std::vector<std::string> texts;
        for (std::string rest = argv[2];;) {
            const size_t bar = rest.find('|');
            texts.push_back(rest.substr(0, bar));
            if (bar == std::string::npos) {
                break;
            }
            rest = rest.substr(bar + 1);
        }
        const bool found = WaitFor(
            [&] {
                const std::string log = Text(GetDlgItem(main, kLogPane));
                for (const auto& text : texts) {
                    if (log.find(text) != std::string::npos) {
                        return true;
                    }
                }
                return false;
            },
            argc > 3 ? std::atof(argv[3]) : 30);
        if (!found) {
            std::fprintf(stderr, "log:\n%s\n", Text(GetDlgItem(main, kLogPane)).c_str());
        }
        return found ? 0 : Fail("text not in the log");
    }
    if (cmd == "wait-enabled" && argc > 2) {
        HWND c = GetDlgItem(main, std::atoi(argv[2]));
        return c != nullptr &&
                       WaitFor([&] { return IsWindowEnabled(c) != 0; }, argc > 3 ? std::atof(argv[3]) : 30)
                   ? 0
                   : Fail("control not enabled");
    }
    if (cmd == "click" && argc > 2) {
        HWND c = GetDlgItem(main, std::atoi(argv[2]));
        if (c == nullptr) {
            return Fail("no such control");
        }
        PostMessageW(c, BM_CLICK, 0, 0);
        return 0;
    }
    if (cmd == "text" && argc > 3) {
        const int page = std::atoi(argv[2]);
        HWND parent = page < 0 ? main : GetDlgItem(GetDlgItem(main, kTabs), kPageIdBase + page);
        HWND c = parent != nullptr ? GetDlgItem(parent, std::atoi(argv[3])) : nullptr;
        if (c == nullptr) {
            return Fail("no such control");
        }
        std::printf("%s\n", Text(c).c_str());
        return 0;
    }
    if (cmd == "tabs") {
        HWND tabs = GetDlgItem(main, kTabs);
        const LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
        std::printf("%d", static_cast<int>(count));
        for (int i = 0; i < count; ++i) {
            HWND page = GetDlgItem(tabs, kPageIdBase + i);
            std::printf(" %s", page != nullptr ? "page" : "-");
        }
        std::printf("\n");
        return 0;
    }
    if (cmd == "select-tab" && argc > 2) {
        HWND tabs = GetDlgItem(main, kTabs);
        // As the arrow keys on the focused tab control do: the control moves and tells its parent.
        SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(std::atoi(argv[2])), 0);
        return 0;
    }
    if (cmd == "close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    return Fail("unknown command");
}
