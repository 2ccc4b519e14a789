// The rendering side of the Windows view: its windows and controls from the notices of the window
// thread, the queue that brings those notices to the GUI thread, and the modal questions.
#include "ui/win32/win32_view.h"

#include <algorithm>

#include "framework/display_text.h"
#include "ui/view/label_text.h"
#include "ui/win32/text.h"
#include "ui/win32/ui_services.h"

namespace marlinq::win32 {

namespace {

constexpr wchar_t kDialogClass[] = L"MarlinqDialog";
constexpr wchar_t kPageClass[] = L"MarlinqPage";
constexpr wchar_t kQueueClass[] = L"MarlinqViewQueue";
constexpr UINT kRunQueued = WM_APP + 1;
constexpr UINT_PTR kBusyTimer = 1;  // on the queue window
constexpr int kMainWidth = 1180;
constexpr int kMainHeight = 760;
constexpr int kIconMainFrame = 128;

// True when `font` draws the full-width colon of the labels.
bool HasWideColon(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    WORD glyph = 0xFFFF;
    const wchar_t colon = 0xFF1A;
    const DWORD got = GetGlyphIndicesW(dc, &colon, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return got == 1 && glyph != 0xFFFF;
}

// A copy of the template with plain colons in its labels, for a font without the full-width one.
std::unique_ptr<fw::DialogTemplate> WithPlainColons(const fw::DialogTemplate& tpl) {
    auto copy = std::make_unique<fw::DialogTemplate>(tpl);
    for (auto& c : copy->controls) {
        c.label = view::PlainColons(c.label);
        c.suffix = view::PlainColons(c.suffix);
    }
    return copy;
}

HFONT MakeFont(const std::string& face, int pointSize, bool fixed) {
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       fixed ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_SWISS,
                       fixed ? L"Courier New" : Wide(face).c_str());
}

// The position in `edit`'s text of a byte offset of its UTF-8 form, as the window thread counts.
WPARAM CharsBefore(HWND edit, int bytes) {
    const std::string text = WindowText(edit);
    return Wide(text.substr(0, std::min(static_cast<size_t>(std::max(bytes, 0)), text.size()))).size();
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, bool icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (icon) {
        wc.hIcon = LoadIconResource(instance, kIconMainFrame, 32);
        wc.hIconSm = LoadIconResource(instance, kIconMainFrame, 16);
    }
    RegisterClassExW(&wc);
}

}  // namespace

CWin32View::CWin32View(fw::CWindowThread& thread, HINSTANCE instance)
    : m_thread(thread),
      m_instance(instance),
      m_busy({[this] { SetTimer(m_queueWindow, kBusyTimer, view::CBusyState::kDelayMs, nullptr); },
              [this] { KillTimer(m_queueWindow, kBusyTimer); }, [this](bool shown) { ShowBusy(shown); }}) {
    Register(instance, kDialogClass, &CWin32View::DialogProc, true);
    Register(instance, kPageClass, &CWin32View::DialogProc, false);
    Register(instance, kQueueClass, &CWin32View::QueueProc, false);
    m_queueWindow =
        CreateWindowExW(0, kQueueClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    SetWindowLongPtrW(m_queueWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const DWORD guiThread = GetCurrentThreadId();
    m_bridge = std::make_unique<view::CViewBridge>(
        thread, static_cast<view::IViewSink&>(*this),
        view::GuiThreadAccess{[this](std::function<void()> fn) { return PostToGui(std::move(fn)); },
                              [guiThread] { return GetCurrentThreadId() == guiThread; }});
}

CWin32View::~CWin32View() {
    m_bridge.reset();
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(m_queueMutex);
        m_queueClosed = true;
        dropped.swap(m_queue);
    }
    dropped.clear();  // a question still queued is answered as cancelled
    for (auto& [hwnd, dv] : m_views) {
        if (IsWindow(dv->native)) {
            SetWindowLongPtrW(dv->native, GWLP_USERDATA, 0);
        }
    }
    for (auto& [hwnd, dv] : m_views) {
        if (!dv->child && IsWindow(dv->native)) {
            DestroyWindow(dv->native);
        }
    }
    m_views.clear();
    DestroyWindow(m_queueWindow);
    DeleteObject(m_fonts.normal);
    DeleteObject(m_fonts.fixed);
    UnregisterClassW(kDialogClass, m_instance);
    UnregisterClassW(kPageClass, m_instance);
    UnregisterClassW(kQueueClass, m_instance);
}

bool CWin32View::PostToGui(std::function<void()> fn) {
    std::lock_guard lock(m_queueMutex);
    if (m_queueClosed) {
        return false;
    }
    m_queue.push_back(std::move(fn));
    PostMessageW(m_queueWindow, kRunQueued, 0, 0);
    return true;
}

void CWin32View::RunQueued() {
    // One at a time: a function may open a modal box whose own loop runs the ones after it.
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(m_queueMutex);
            if (m_queue.empty()) {
                return;
            }
            fn = std::move(m_queue.front());
            m_queue.pop_front();
        }
        fn();
    }
}

LRESULT CALLBACK CWin32View::QueueProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWin32View*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == kRunQueued && self != nullptr) {
        self->RunQueued();
        return 0;
    }
    if (msg == WM_TIMER && wParam == kBusyTimer && self != nullptr) {
        KillTimer(hwnd, kBusyTimer);
        self->m_busy.DelayElapsed();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void CWin32View::Created(const fw::DialogInfo& info) {
    if (info.tpl == nullptr || m_views.count(info.hwnd) != 0) {
        return;
    }
    if (m_fonts.normal == nullptr) {
        m_fonts.normal = MakeFont(info.tpl->font.empty() ? "Microsoft Sans Serif" : info.tpl->font,
                                  info.tpl->pointSize > 0 ? info.tpl->pointSize : 9, false);
        m_fonts.fixed = MakeFont({}, info.tpl->pointSize > 0 ? info.tpl->pointSize : 9, true);
    }
    auto dv = std::make_unique<DialogView>();
    dv->owner = this;
    dv->hwnd = info.hwnd;
    dv->parent = info.parent;
    dv->child = info.child;
    dv->modal = info.modal;
    dv->hostControlId = info.hostControlId;
    dv->hostIndex = info.hostIndex;
    const std::wstring title = Wide(fw::DrawnText(info.tpl->caption));
    HWND native = nullptr;
    if (info.child) {
        DialogView* parent = Find(info.parent);
        HWND host = parent != nullptr ? Control(info.parent, info.hostControlId) : nullptr;
        if (host == nullptr) {
            return;
        }
        native =
            CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                            host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageIdBase + info.hostIndex)),
                            m_instance, dv.get());
    } else if (info.parent == 0) {
        native = CreateWindowExW(WS_EX_CONTROLPARENT, kDialogClass, title.c_str(), WS_OVERLAPPEDWINDOW,
                                 CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth, kMainHeight, nullptr, nullptr,
                                 m_instance, dv.get());
        m_mainNative = native;
        m_mainHwnd = info.hwnd;
        m_statusBar = CreateWindowExW(
            0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, native,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), m_instance, nullptr);
    } else {
        native = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kDialogClass, title.c_str(),
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, OwnerOf(info.parent),
                                 nullptr, m_instance, dv.get());
    }
    if (native == nullptr) {
        return;
    }
    dv->native = native;
    if (!HasWideColon(m_fonts.normal)) {
        dv->drawn = WithPlainColons(*info.tpl);
    }
    dv->rendered = CreateControls(dv->drawn ? *dv->drawn : *info.tpl, native, m_instance, m_fonts);
    if (info.parent == 0 && !info.child) {
        for (size_t i = 0; i < info.tpl->controls.size(); ++i) {
            if ((info.tpl->controls[i].style & fw::kMultiline) != 0) {
                m_logPane = dv->rendered.controls[i].control;  // the window's log pane
            }
        }
    }
    DialogView& stored = *(m_views[info.hwnd] = std::move(dv));
    for (const auto& state : info.controls) {
        Apply(stored, state);
    }
    if (stored.modal) {
        const view::Size size = NaturalClientSize(stored.rendered, m_fonts.normal);
        RECT rc{0, 0, size.w, size.h};
        AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongPtrW(native, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(native, GWL_EXSTYLE)));
        SetWindowPos(native, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    if (stored.child) {
        PlacePages(GetParent(native));
    } else {
        Layout(stored);
    }
}

void CWin32View::Layout(DialogView& dv) {
    if (dv.rendered.tpl == nullptr) {
        return;
    }
    RECT rc{};
    GetClientRect(dv.native, &rc);
    int bottom = rc.bottom;
    if (dv.native == m_mainNative && m_statusBar != nullptr) {
        SendMessageW(m_statusBar, WM_SIZE, 0, 0);
        RECT bar{};
        GetWindowRect(m_statusBar, &bar);
        bottom -= bar.bottom - bar.top;
    }
    Arrange(dv.rendered, {0, 0, rc.right, bottom}, m_fonts.normal);
    for (size_t i = 0; i < dv.rendered.tpl->controls.size(); ++i) {
        if (dv.rendered.tpl->controls[i].kind == fw::ControlKind::Tab) {
            PlacePages(dv.rendered.controls[i].control);
        }
    }
}

void CWin32View::PlacePages(HWND tab) {
    RECT rc{};
    GetClientRect(tab, &rc);
    TabCtrl_AdjustRect(tab, FALSE, &rc);
    for (auto& [hwnd, dv] : m_views) {
        if (dv->child && GetParent(dv->native) == tab) {
            MoveWindow(dv->native, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
            Arrange(dv->rendered, {0, 0, rc.right - rc.left, rc.bottom - rc.top}, m_fonts.normal);
        }
    }
}

void CWin32View::Apply(DialogView& dv, const fw::ControlState& s) {
    HWND w = Control(dv.hwnd, s.id);
    if (w == nullptr) {
        return;
    }
    ++m_applying;
    EnableWindow(w, s.enabled ? TRUE : FALSE);
    switch (s.kind) {
        case fw::ControlKind::ComboBox:
            SetItems(w, s.items, s.curSel, false);
            break;
        case fw::ControlKind::Tab:
            SetItems(w, s.items, s.curSel, true);
            break;
        case fw::ControlKind::CheckBox:
        case fw::ControlKind::RadioButton:
            SendMessageW(w, BM_SETCHECK, s.check == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case fw::ControlKind::Edit:
            if (!s.text.empty()) {
                SetWindowTextUtf8(w, (s.style & fw::kMultiline) != 0 ? PaneLines(s.text) : s.text);
            }
            break;
        default:
            break;
    }
    --m_applying;
}

void CWin32View::SetItems(HWND control, const std::vector<std::string>& items, int curSel, bool tab) {
    ++m_applying;
    if (tab) {
        TabCtrl_DeleteAllItems(control);
        for (size_t i = 0; i < items.size(); ++i) {
            std::wstring title = Wide(items[i]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = title.data();
            SendMessageW(control, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        if (curSel >= 0) {
            TabCtrl_SetCurSel(control, curSel);
        }
        PlacePages(control);  // the display area depends on the tabs
    } else {
        SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (const auto& item : items) {
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        }
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(curSel), 0);
    }
    --m_applying;
}

void CWin32View::SetEditText(DialogView& dv, int id, HWND edit, const std::string& text) {
    auto& typed = m_typed[{dv.hwnd, id}];
    const auto echo = std::find(typed.begin(), typed.end(), text);
    if (echo != typed.end()) {
        // The window thread took what the user typed; later typing is still on its way.
        typed.erase(typed.begin(), echo + 1);
        if (!typed.empty()) {
            return;
        }
    } else {
        typed.clear();
    }
    if (WindowText(edit) == text) {
        return;
    }
    ++m_applying;
    SetWindowTextUtf8(edit, text);
    --m_applying;
}

void CWin32View::Changed(const fw::ControlChange& c) {
    DialogView* dv = Find(c.hwnd);
    HWND w = dv != nullptr ? Control(c.hwnd, c.id) : nullptr;
    if (w == nullptr) {
        return;
    }
    const fw::ControlTemplate* tpl = dv->rendered.tpl->Find(c.id);
    const bool pane =
        tpl != nullptr && tpl->kind == fw::ControlKind::Edit && (tpl->style & fw::kMultiline) != 0;
    const bool edit = tpl != nullptr && tpl->kind == fw::ControlKind::Edit && !pane;
    using What = fw::ControlChange::What;
    if (c.what == What::Text && edit) {
        SetEditText(*dv, c.id, w, c.text);
        return;
    }
    ++m_applying;
    switch (c.what) {
        case What::Text:
            if (pane) {
                SetWindowTextUtf8(w, PaneLines(c.text));
                SendMessageW(w, WM_VSCROLL, SB_BOTTOM, 0);
            } else {
                SetWindowTextUtf8(w, c.text);
            }
            break;
        case What::TextAppended: {
            const int length = GetWindowTextLengthW(w);
            SendMessageW(w, EM_SETSEL, static_cast<WPARAM>(length), length);
            const std::wstring text = Wide(pane ? PaneLines(c.text) : c.text);
            SendMessageW(w, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
            break;
        }
        case What::Scroll:
            if (pane) {
                SendMessageW(w, WM_VSCROLL, SB_BOTTOM, 0);
            }
            break;
        case What::Enabled:
            EnableWindow(w, c.value != 0 ? TRUE : FALSE);
            break;
        case What::Visible: {
            const int show = c.value != 0 ? SW_SHOWNA : SW_HIDE;
            ShowWindow(w, show);
            for (size_t i = 0; i < dv->rendered.tpl->controls.size(); ++i) {
                if (dv->rendered.tpl->controls[i].id == c.id) {
                    const NativeControl& n = dv->rendered.controls[i];
                    if (n.label != nullptr) {
                        ShowWindow(n.label, show);
                    }
                    if (n.suffix != nullptr && (tpl->suffixStyle & fw::kHidden) == 0) {
                        ShowWindow(n.suffix, show);
                    }
                }
            }
            break;
        }
        case What::Check:
            SendMessageW(w, BM_SETCHECK, c.value == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case What::Items:
            SetItems(w, c.items, c.value, tpl != nullptr && tpl->kind == fw::ControlKind::Tab);
            break;
        case What::CurSel:
            if (tpl != nullptr && tpl->kind == fw::ControlKind::Tab) {
                TabCtrl_SetCurSel(w, c.value);
            } else {
                SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(c.value), 0);
            }
            break;
        case What::Icon:
            SendMessageW(w, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconResource(m_instance, c.value, 16)),
                         0);
            break;
        case What::Selection:
            // The log pane's caret is its append point, which the appends above follow.
            if (edit) {
                SendMessageW(w, EM_SETSEL, CharsBefore(w, c.value),
                             static_cast<LPARAM>(CharsBefore(w, c.value2)));
            }
            break;
    }
    --m_applying;
}

void CWin32View::FocusChanged(fw::HWND hwnd, int id) {
    DialogView* dv = Find(hwnd);
    HWND w = dv != nullptr ? Control(hwnd, id) : nullptr;
    if (w == nullptr) {
        return;
    }
    ++m_applying;  // the window thread knows: its notice is not reported back
    SetFocus(w);
    --m_applying;
}

void CWin32View::Shown(fw::HWND hwnd, bool visible) {
    DialogView* dv = Find(hwnd);
    if (dv == nullptr) {
        return;
    }
    if (dv->child) {
        if (visible) {
            ++m_applying;
            TabCtrl_SetCurSel(GetParent(dv->native), dv->hostIndex);
            --m_applying;
        }
        ShowWindow(dv->native, visible ? SW_SHOWNA : SW_HIDE);
        return;
    }
    if (!visible) {
        ShowWindow(dv->native, SW_HIDE);
        return;
    }
    if (dv->modal) {
        // Centred over its owner, which takes no input while it runs.
        HWND owner = OwnerOf(dv->parent);
        RECT o{};
        RECT r{};
        GetWindowRect(owner, &o);
        GetWindowRect(dv->native, &r);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        SetWindowPos(dv->native, nullptr, o.left + (o.right - o.left - w) / 2,
                     o.top + (o.bottom - o.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EnableWindow(owner, FALSE);
    }
    ShowWindow(dv->native, SW_SHOW);
    UpdateWindow(dv->native);
    SetForegroundWindow(dv->native);
    if (HWND first = GetNextDlgTabItem(dv->native, nullptr, FALSE)) {
        SetFocus(first);  // the keyboard starts at the first control, as in a dialog
    }
    if (hwnd == m_mainHwnd && onMainShown) {
        onMainShown();
    }
}

void CWin32View::Destroyed(fw::HWND hwnd) {
    auto it = m_views.find(hwnd);
    if (it == m_views.end()) {
        return;
    }
    std::unique_ptr<DialogView> dv = std::move(it->second);
    m_views.erase(it);
    for (auto t = m_typed.begin(); t != m_typed.end();) {
        t = t->first.first == hwnd ? m_typed.erase(t) : std::next(t);
    }
    if (dv->modal) {
        HWND owner = OwnerOf(dv->parent);
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    if (IsWindow(dv->native)) {
        SetWindowLongPtrW(dv->native, GWLP_USERDATA, 0);
        // Pages of a window that goes stay with it until then; their own notices came first.
        DestroyWindow(dv->native);
    }
    if (hwnd == m_mainHwnd) {
        m_mainNative = nullptr;
        m_statusBar = nullptr;
        m_logPane = nullptr;
        if (onMainEnded) {
            onMainEnded();
        }
    }
}

void CWin32View::MenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) {
    DialogView* dv = Find(hwnd);
    if (dv == nullptr || dv->child) {
        return;
    }
    GetSystemMenu(dv->native, TRUE);  // back to the frame's own items
    HMENU menu = GetSystemMenu(dv->native, FALSE);
    for (const auto& item : view::OwnMenuItems(items, true)) {
        if (item.separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, item.id, Wide(item.text).c_str());
        }
    }
}

void CWin32View::IconChanged(fw::HWND hwnd, int iconId) {
    DialogView* dv = Find(hwnd);
    if (dv == nullptr || dv->child) {
        return;
    }
    SendMessageW(dv->native, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconResource(m_instance, iconId, 32)));
    SendMessageW(dv->native, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconResource(m_instance, iconId, 16)));
}

void CWin32View::Busy(bool busy) {
    m_busy.Busy(busy);
}

void CWin32View::ShowBusy(bool shown) {
    if (m_statusBar != nullptr) {
        SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(shown ? L"Working..." : L"Ready"));
    }
    POINT pt{};
    GetCursorPos(&pt);
    HWND under = WindowFromPoint(pt);
    if (under != nullptr && (under == m_mainNative || IsChild(m_mainNative, under))) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(shown ? IDC_APPSTARTING : IDC_ARROW)));
    }
}

int CWin32View::AskMessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                              fw::UINT type) {
    return ShowMessageBox(OwnerOf(owner), text, caption, type);
}

std::string CWin32View::AskFile(fw::HWND owner, const fw::FileDialogRequest& request) {
    return AskFileName(OwnerOf(owner), request);
}

CWin32View::DialogView* CWin32View::Find(fw::HWND hwnd) {
    const auto it = m_views.find(hwnd);
    return it == m_views.end() ? nullptr : it->second.get();
}

CWin32View::DialogView* CWin32View::FindNative(HWND native) {
    if (native == nullptr) {
        return nullptr;
    }
    for (auto& [hwnd, dv] : m_views) {
        if (dv->native == native) {
            return dv.get();
        }
    }
    return nullptr;
}

HWND CWin32View::OwnerOf(fw::HWND hwnd) const {
    const auto it = m_views.find(hwnd);
    if (it != m_views.end()) {
        return it->second->child ? GetAncestor(it->second->native, GA_ROOT) : it->second->native;
    }
    return m_mainNative;
}

HWND CWin32View::Control(fw::HWND dialog, int id) const {
    const auto it = m_views.find(dialog);
    if (it == m_views.end()) {
        return nullptr;
    }
    const auto c = it->second->rendered.byId.find(id);
    return c == it->second->rendered.byId.end() ? nullptr : c->second;
}

}  // namespace marlinq::win32
