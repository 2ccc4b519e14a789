// The input side of the Windows view: the window procedure of its dialogs and pages, the keys and
// messages of the GUI loop, and the end of the session. Every input goes to the window thread.
#include "ui/win32/win32_view.h"

#include <algorithm>

#include "ui/win32/text.h"

namespace marlinq::win32 {

namespace {

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE);
}

bool IsDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

LRESULT CALLBACK CWin32View::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* dv = reinterpret_cast<DialogView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (dv == nullptr || dv->owner == nullptr) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (dv->native == nullptr) {
        dv->native = hwnd;  // messages during CreateWindowEx
    }
    return dv->owner->HandleDialog(*dv, msg, wParam, lParam);
}

LRESULT CWin32View::HandleDialog(DialogView& dv, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if (lParam != 0) {
                OnCommand(dv, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            }
            return 0;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (hdr->code == TCN_SELCHANGE && m_applying == 0) {
                // A click or a key on the tab control: the window thread presses that tab.
                Driver(dv.hwnd).Select(static_cast<int>(hdr->idFrom), TabCtrl_GetCurSel(hdr->hwndFrom));
            }
            return 0;
        }
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus when the window was left (for a
            // message box, say) has it again when the window comes back.
            if (!dv.child && LOWORD(wParam) == WA_INACTIVE && GetFocus() != nullptr &&
                IsChild(dv.native, GetFocus())) {
                dv.lastFocus = GetFocus();  // a control that reports no focus of its own (the tabs)
            } else if (!dv.child && LOWORD(wParam) != WA_INACTIVE && dv.lastFocus != nullptr &&
                       IsChild(dv.native, dv.lastFocus) && IsWindowVisible(dv.lastFocus) &&
                       IsWindowEnabled(dv.lastFocus)) {
                SetFocus(dv.lastFocus);
                return 0;
            }
            break;
        case WM_SIZE:
            if (!dv.child) {
                Layout(dv);
            }
            return 0;
        case WM_GETMINMAXINFO:
            if (dv.native == m_mainNative) {
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize.x = 760;
                info->ptMinTrackSize.y = 560;
            }
            return 0;
        case WM_CLOSE:
            Driver(dv.hwnd).Close();  // the dialog decides; the window goes when it has ended
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != 0 && dv.native == m_mainNative) {
                CloseForEndOfSession(dv);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) < 0xF000) {
                Driver(dv.hwnd).SysCommand(static_cast<fw::UINT>(wParam & 0xFFF0));
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (m_busy.Shown() && !dv.modal) {
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_APPSTARTING)));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(dv.native, msg, wParam, lParam);
}

void CWin32View::OnCommand(DialogView& dv, int id, int code, HWND control) {
    const fw::ControlTemplate* c = dv.rendered.tpl != nullptr ? dv.rendered.tpl->Find(id) : nullptr;
    if (c == nullptr) {
        return;
    }
    const bool button = c->kind == fw::ControlKind::PushButton || c->kind == fw::ControlKind::CheckBox ||
                        c->kind == fw::ControlKind::RadioButton;
    if ((button && code == BN_SETFOCUS) || (c->kind == fw::ControlKind::Edit && code == EN_SETFOCUS) ||
        (c->kind == fw::ControlKind::ComboBox && code == CBN_SETFOCUS)) {
        // Whoever moved it, the window gives this control the focus back when it is active again.
        if (DialogView* top = FindNative(GetAncestor(control, GA_ROOT))) {
            top->lastFocus = control;
        }
    }
    if (m_applying != 0) {
        return;
    }
    switch (c->kind) {
        case fw::ControlKind::PushButton:
        case fw::ControlKind::CheckBox:
        case fw::ControlKind::RadioButton:
            if (code == BN_CLICKED) {
                Driver(dv.hwnd).Click(id);
            } else if (code == BN_SETFOCUS) {
                Driver(dv.hwnd).Focus(id);
            }
            break;
        case fw::ControlKind::Edit:
            if (code == EN_CHANGE) {
                std::string text = WindowText(control);
                if ((c->style & fw::kDigitsOnly) != 0 && !IsDigits(text)) {
                    // Pasted text: only its digits stay, as typing allows no other characters.
                    text.erase(std::remove_if(text.begin(), text.end(),
                                              [](char ch) { return ch < '0' || ch > '9'; }),
                               text.end());
                    ++m_applying;
                    SetWindowTextUtf8(control, text);
                    SendMessageW(control, EM_SETSEL, text.size(), text.size());
                    --m_applying;
                }
                m_typed[{dv.hwnd, id}].push_back(text);
                Driver(dv.hwnd).Type(id, text);
            } else if (code == EN_SETFOCUS) {
                Driver(dv.hwnd).Focus(id);
            }
            break;
        case fw::ControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                Driver(dv.hwnd).Select(id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
            } else if (code == CBN_SETFOCUS) {
                Driver(dv.hwnd).Focus(id);
            }
            break;
        default:
            break;
    }
}

bool CWin32View::PreTranslate(MSG& msg) {
    if (msg.hwnd == nullptr) {
        return false;
    }
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    DialogView* top = FindNative(root);
    if (top == nullptr) {
        return false;
    }
    if (m_busy.Shown() && IsInput(msg.message) && root == m_mainNative && msg.hwnd != m_mainNative) {
        // The window thread is at work: no parameter input, but the log can still be scrolled.
        const bool scrollLog =
            msg.hwnd == m_logPane &&
            (msg.message == WM_MOUSEWHEEL || msg.message == WM_MOUSEHWHEEL ||
             (msg.message == WM_KEYDOWN && (msg.wParam == VK_PRIOR || msg.wParam == VK_NEXT ||
                                            msg.wParam == VK_UP || msg.wParam == VK_DOWN)));
        if (!scrollLog) {
            return true;
        }
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        wchar_t cls[32] = {};
        GetClassNameW(msg.hwnd, cls, 32);
        if (lstrcmpiW(cls, WC_COMBOBOXW) == 0 && SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0) {
            return false;  // the open list of a combo box takes its own Enter and Escape
        }
        // The key goes to the window thread with the control that has the focus: Enter in the AT
        // command sends it, Escape closes; Enter never presses the default button.
        if (DialogView* owner = FindNative(GetParent(msg.hwnd))) {
            const int id = GetDlgCtrlID(msg.hwnd);
            if (owner->rendered.byId.count(id) != 0) {
                Driver(owner->hwnd).Focus(id);
            }
        }
        Driver(top->hwnd).KeyDown(msg.wParam);
        return true;
    }
    return IsDialogMessageW(root, &msg) != 0;
}

void CWin32View::CloseForEndOfSession(DialogView& dv) {
    // The process may end as soon as this returns: close now and serve the window thread (its
    // notices, a question it asks) until the window is gone, so the configuration is saved.
    Driver(dv.hwnd).Close();
    const ULONGLONG end = GetTickCount64() + 20000;
    while (m_mainNative != nullptr && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop, afterwards
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace marlinq::win32
