#include "framework/dialog.h"

#include <algorithm>

namespace fw {

// ---- CMenu

void CMenu::AppendMenu(UINT flags, UINT id, const std::string& text) {
    MenuItem item;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.id = item.separator ? 0 : id;
    item.text = item.separator ? std::string() : text;
    m_items.push_back(item);
    m_owner->NotifySystemMenu();
}

void CMenu::SetDefaultItems() {
    m_items = {{SC_RESTORE, "&Restore", false},    {SC_MOVE, "&Move", false},
               {SC_SIZE, "&Size", false},          {SC_MINIMIZE, "Mi&nimize", false},
               {SC_MAXIMIZE, "Ma&ximize", false},  {0, "", true},
               {SC_CLOSE, "&Close\tAlt+F4", false}};
}

// ---- CDialog

CDialog::CDialog(UINT templateId, CWindowThread& thread)
    : m_templateId(templateId), m_thread(thread), m_parent(nullptr), m_sysMenu(this) {}

CDialog::CDialog(UINT templateId, CDialog* parent)
    : m_templateId(templateId), m_thread(parent->Thread()), m_parent(parent), m_sysMenu(this) {}

CDialog::~CDialog() {
    if (GetSafeHwnd() != 0 && m_thread.IsWindowThread()) {
        DestroyWindow();
    }
}

void CDialog::BindControl(int id, CControl& control) {
    m_bound[id] = &control;
}

std::unique_ptr<CControl> CDialog::MakeControl(ControlKind kind) const {
    switch (kind) {
        case ControlKind::Edit:
            return std::make_unique<CEdit>();
        case ControlKind::ComboBox:
            return std::make_unique<CComboBox>();
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            return std::make_unique<CButton>();
        case ControlKind::Tab:
            return std::make_unique<CTabCtrl>();
        case ControlKind::StaticText:
        case ControlKind::StaticIcon:
        case ControlKind::GroupBox:
            return std::make_unique<CStatic>();
    }
    return std::make_unique<CControl>();
}

BOOL CDialog::CreateFromTemplate(bool child, bool modal, int hostControlId, int hostIndex) {
    const ITemplateSource* source = m_thread.Templates();
    m_tpl = source != nullptr ? source->FindTemplate(m_templateId) : nullptr;
    if (m_tpl == nullptr) {
        return FALSE;
    }
    m_hwnd.store(m_thread.Register(this));
    m_controls.clear();
    m_owned.clear();
    for (const auto& g : m_tpl->groups) {
        ControlTemplate box;
        box.kind = ControlKind::GroupBox;
        box.caption = g.caption;
        box.style = g.style;
        box.column = g.column;
        auto control = MakeControl(ControlKind::GroupBox);
        control->Attach(this, box);
        m_owned.push_back(std::move(control));
    }
    for (const auto& c : m_tpl->controls) {
        CControl* control = nullptr;
        if (auto it = m_bound.find(c.id); it != m_bound.end()) {
            control = it->second;
        } else {
            m_owned.push_back(MakeControl(c.kind));
            control = m_owned.back().get();
        }
        control->Attach(this, c);
        m_controls.push_back(control);
    }
    if ((m_tpl->style & kSysMenu) != 0) {
        m_sysMenu.SetDefaultItems();
    }
    if (m_parent != nullptr && child) {
        m_parent->m_children.push_back(this);
    }
    DialogInfo info;
    info.hwnd = GetSafeHwnd();
    info.parent = m_parent != nullptr ? m_parent->GetSafeHwnd() : 0;
    info.templateId = m_templateId;
    info.tpl = m_tpl;
    info.child = child;
    info.modal = modal;
    info.hostControlId = hostControlId;
    info.hostIndex = hostIndex;
    for (auto* c : m_controls) {
        info.controls.push_back(c->State());
    }
    for (auto* o : m_thread.Observers()) {
        o->OnDialogCreated(info);
    }
    if ((m_tpl->style & kSysMenu) != 0) {
        NotifySystemMenu();
    }
    return TRUE;
}

int CDialog::DoModal() {
    if (m_parent == nullptr) {
        m_thread.BindToCurrentThread();
    }
    m_endModal = false;
    m_modalResult = -1;
    if (!CreateFromTemplate(false, m_parent != nullptr, 0, 0)) {
        return -1;
    }
    if (m_parent != nullptr) {
        ++m_parent->m_modalChildren;
    }
    const BOOL focusDefault = OnInitDialog();
    if (!m_endModal) {
        if (focusDefault) {
            SetInitialFocus();
        }
        ShowWindow(TRUE);
        RunModalLoop();
    }
    DestroyWindow();
    if (m_parent != nullptr) {
        --m_parent->m_modalChildren;
    }
    return m_modalResult;
}

BOOL CDialog::Create(UINT templateId, int hostControlId, int hostIndex) {
    m_templateId = templateId;
    if (m_parent == nullptr || !CreateFromTemplate(true, false, hostControlId, hostIndex)) {
        return FALSE;
    }
    OnInitDialog();
    return TRUE;
}

void CDialog::RunModalLoop() {
    // A modal dialog also ends when the dialog that owns it is ended (closed from outside).
    while (!m_endModal && (m_parent == nullptr || !m_parent->m_endModal)) {
        MSG msg;
        if (!m_thread.Get(msg)) {
            m_modalResult = IDCANCEL;  // the thread's queue was closed under the dialog
            return;
        }
        if (msg.message == WM_KEYDOWN && msg.hwnd == 0) {
            // A key goes to the window that has the keyboard focus.
            msg.hwnd = m_thread.FocusWindow() != 0 ? m_thread.FocusWindow() : GetSafeHwnd();
            msg.ctrlId = m_thread.FocusControl();
        }
        if (!PreTranslateMessage(msg)) {
            m_thread.Dispatch(msg);
        }
    }
    if (!m_endModal) {
        m_modalResult = IDCANCEL;
    }
}

void CDialog::SetInitialFocus() {
    CControl* first = nullptr;
    for (auto* c : m_controls) {
        if (!c->IsWindowEnabled() || !c->IsWindowVisible() || c->GetDlgCtrlID() == IDC_STATIC) {
            continue;
        }
        if (c->HasStyle(kDefaultButton)) {
            c->SetFocus();
            return;
        }
        if (first == nullptr && c->Kind() != ControlKind::StaticText &&
            c->Kind() != ControlKind::StaticIcon) {
            first = c;
        }
    }
    if (first != nullptr) {
        first->SetFocus();
    }
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_endModal = true;
}

BOOL CDialog::DestroyWindow() {
    const HWND hwnd = GetSafeHwnd();
    if (hwnd == 0) {
        return FALSE;
    }
    SendMessage(WM_DESTROY);
    for (auto* child : m_children) {
        child->DestroyWindow();
    }
    m_children.clear();
    if (m_parent != nullptr) {
        std::erase(m_parent->m_children, this);
    }
    m_visible = false;
    for (auto* o : m_thread.Observers()) {
        o->OnDialogDestroyed(hwnd);
    }
    m_thread.Unregister(hwnd);
    m_hwnd.store(0);
    return TRUE;
}

CControl* CDialog::GetDlgItem(int id) const {
    for (auto* c : m_controls) {
        if (c->GetDlgCtrlID() == id) {
            return c;
        }
    }
    return nullptr;
}

std::vector<CControl*> CDialog::Controls() const {
    return m_controls;
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    if (auto* c = GetDlgItem(id)) {
        c->SetWindowText(text);
    }
}

std::string CDialog::GetDlgItemText(int id) const {
    auto* c = GetDlgItem(id);
    return c != nullptr ? c->GetWindowText() : std::string();
}

void CDialog::CheckDlgButton(int id, int check) {
    if (auto* b = GetItem<CButton>(id)) {
        b->SetCheck(check);
    }
}

int CDialog::IsDlgButtonChecked(int id) const {
    auto* b = GetItem<CButton>(id);
    return b != nullptr ? b->GetCheck() : BST_UNCHECKED;
}

void CDialog::CheckRadioInGroup(CButton& button) {
    for (auto* c : m_controls) {
        if (c != &button && c->Kind() == ControlKind::RadioButton &&
            c->State().group == button.State().group) {
            static_cast<CButton*>(c)->SetCheck(BST_UNCHECKED);
        }
    }
    button.SetCheck(BST_CHECKED);
}

LRESULT CDialog::SendMessage(UINT message, WPARAM wParam, LPARAM lParam, int /*ctrlId*/) {
    return WindowProc(message, wParam, lParam);
}

BOOL CDialog::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = GetSafeHwnd();
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg.hwnd != 0 && m_thread.Post(std::move(msg)) ? TRUE : FALSE;
}

BOOL CDialog::PostTextMessage(UINT message, const std::string& text) {
    MSG msg;
    msg.hwnd = GetSafeHwnd();
    msg.message = message;
    msg.payload = text;
    msg.textParam = true;
    return msg.hwnd != 0 && m_thread.Post(std::move(msg)) ? TRUE : FALSE;
}

void CDialog::RunOnWindowThread(std::function<void()> fn) {
    if (m_thread.IsWindowThread()) {
        fn();
        return;
    }
    m_thread.PostTask(GetSafeHwnd(), [fn = std::move(fn)](CDialog* target) {
        if (target != nullptr) {
            fn();
        }
    });
}

void CDialog::SetTimer(UINT id, UINT ms) {
    m_thread.SetTimer(GetSafeHwnd(), id, ms);
}

void CDialog::KillTimer(UINT id) {
    m_thread.KillTimer(GetSafeHwnd(), id);
}

CMenu* CDialog::GetSystemMenu(BOOL revert) {
    if (revert) {
        m_sysMenu.SetDefaultItems();
        NotifySystemMenu();
    }
    return &m_sysMenu;
}

void CDialog::NotifySystemMenu() {
    if (GetSafeHwnd() == 0) {
        return;
    }
    for (auto* o : m_thread.Observers()) {
        o->OnSystemMenuChanged(GetSafeHwnd(), m_sysMenu.Items());
    }
}

void CDialog::SetIcon(int iconId, BOOL /*big*/) {
    m_icon = iconId;
    for (auto* o : m_thread.Observers()) {
        o->OnIconChanged(GetSafeHwnd(), iconId);
    }
}

void CDialog::ShowWindow(BOOL show) {
    const bool v = show != FALSE;
    if (v == m_visible) {
        return;
    }
    m_visible = v;
    for (auto* o : m_thread.Observers()) {
        o->OnDialogShown(GetSafeHwnd(), v);
    }
}

bool CDialog::IsInputEnabled() const {
    if (GetSafeHwnd() == 0 || !m_visible || m_modalChildren > 0) {
        return false;
    }
    return m_parent == nullptr || (m_tpl != nullptr && (m_tpl->style & kChild) == 0) ||
           m_parent->IsInputEnabled();
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, UINT type) {
    IUiServices* services = m_thread.Services();
    return services != nullptr ? services->MessageBox(GetSafeHwnd(), text, caption, type) : IDOK;
}

std::string CDialog::DoFileDialog(const FileDialogRequest& request) {
    IUiServices* services = m_thread.Services();
    return services != nullptr ? services->FileDialog(GetSafeHwnd(), request) : std::string();
}

bool CDialog::InputClick(int id, int part) {
    CControl* c = GetDlgItem(id);
    if (c == nullptr || !IsInputEnabled() || !c->IsWindowEnabled() || !c->IsWindowVisible()) {
        return false;
    }
    c->OnLButtonDown(part);
    return true;
}

bool CDialog::InputText(int id, const std::string& text) {
    CControl* c = GetDlgItem(id);
    if (c == nullptr || !IsInputEnabled() || !c->IsWindowEnabled() || !c->IsWindowVisible()) {
        return false;
    }
    c->NoteUserFocus();
    return c->OnUserText(text);
}

bool CDialog::InputFocus(int id) {
    CControl* c = GetDlgItem(id);
    if (c == nullptr || !IsInputEnabled() || !c->IsWindowEnabled() || !c->IsWindowVisible()) {
        return false;
    }
    c->NoteUserFocus();
    return true;
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnTimer(UINT /*id*/) {}

void CDialog::OnSysCommand(UINT id, LPARAM /*lParam*/) {
    if ((id & 0xFFF0u) == SC_CLOSE) {
        SendMessage(WM_CLOSE);
    }
}

void CDialog::OnDestroy() {}

BOOL CDialog::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN) {
        return FALSE;
    }
    // Dialog keys: Enter presses the default button, Escape cancels.
    if (msg.wParam == VK_RETURN) {
        for (auto* c : m_controls) {
            if (c->HasStyle(kDefaultButton) && c->IsWindowEnabled()) {
                SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(c->GetDlgCtrlID()), BN_CLICKED), 0);
                break;
            }
        }
        return TRUE;
    }
    if (msg.wParam == VK_ESCAPE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (m_messageMap.Route(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
                OnOK();
            } else if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
                OnCancel();
            }
            return 0;
        case WM_TIMER:
            OnTimer(static_cast<UINT>(wParam));
            return 0;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return 0;
        case WM_CLOSE:
            OnCancel();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return 0;
    }
}

}  // namespace fw
