#include "framework/dialog_driver.h"

namespace fw {

void CDialogDriver::Input(std::function<void(CDialog&)> fn) {
    m_thread->PostTask(m_hwnd, [fn = std::move(fn)](CDialog* d) {
        if (d != nullptr) {
            fn(*d);
        }
    });
}

void CDialogDriver::Click(int id) {
    Input([id](CDialog& d) { d.InputClick(id); });
}

void CDialogDriver::Type(int id, const std::string& text) {
    Input([id, text](CDialog& d) { d.InputText(id, text); });
}

void CDialogDriver::Focus(int id) {
    Input([id](CDialog& d) { d.InputFocus(id); });
}

void CDialogDriver::Select(int id, int index) {
    Input([id, index](CDialog& d) { d.InputClick(id, index); });
}

void CDialogDriver::KeyDown(WPARAM vk) {
    MSG msg;
    msg.hwnd = 0;  // the window with the focus
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    m_thread->Post(std::move(msg));
}

void CDialogDriver::Close() {
    MSG msg;
    msg.hwnd = m_hwnd;
    msg.message = WM_CLOSE;
    m_thread->Post(std::move(msg));
}

void CDialogDriver::SysCommand(UINT id) {
    MSG msg;
    msg.hwnd = m_hwnd;
    msg.message = WM_SYSCOMMAND;
    msg.wParam = id;
    m_thread->Post(std::move(msg));
}

std::optional<ControlState> CDialogDriver::State(int id) {
    return Call([id](CDialog* d) -> std::optional<ControlState> {
        CControl* c = d != nullptr ? d->GetDlgItem(id) : nullptr;
        if (c == nullptr) {
            return std::nullopt;
        }
        return c->State();
    });
}

std::string CDialogDriver::Text(int id) {
    auto s = State(id);
    return s ? s->text : std::string();
}

bool CDialogDriver::Enabled(int id) {
    auto s = State(id);
    return s && s->enabled;
}

bool CDialogDriver::Visible(int id) {
    auto s = State(id);
    return s && s->visible;
}

bool CDialogDriver::Checked(int id) {
    auto s = State(id);
    return s && s->check == BST_CHECKED;
}

int CDialogDriver::CurSel(int id) {
    auto s = State(id);
    return s ? s->curSel : -1;
}

std::vector<std::string> CDialogDriver::Items(int id) {
    auto s = State(id);
    return s ? s->items : std::vector<std::string>{};
}

int CDialogDriver::FocusedControl() {
    return Call([](CDialog* d) {
        if (d == nullptr || d->Thread().FocusWindow() != d->GetSafeHwnd()) {
            return 0;
        }
        return d->Thread().FocusControl();
    });
}

bool CDialogDriver::Sync() {
    return Call([](CDialog* d) { return d != nullptr; });
}

}  // namespace fw
