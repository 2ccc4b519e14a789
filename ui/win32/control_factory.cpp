#include "ui/win32/control_factory.h"

#include <algorithm>

#include "ui/win32/text.h"

namespace marlinq::win32 {

namespace {

constexpr int kComboListHeight = 220;  // the drop-down list under a combo box
constexpr int kNoId = -1;              // a control without an id (the framework's IDC_STATIC)

HWND Make(HWND parent, HINSTANCE instance, const wchar_t* cls, const std::string& text, DWORD style,
          DWORD exStyle, int id, HFONT font) {
    HWND hwnd = CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (hwnd != nullptr && font != nullptr) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return hwnd;
}

HWND MakeControl(const fw::ControlTemplate& c, HWND parent, HINSTANCE instance, const Fonts& fonts) {
    const DWORD shown = (c.style & fw::kHidden) == 0 ? WS_VISIBLE : 0;
    const DWORD enabled = (c.style & fw::kDisabled) != 0 ? WS_DISABLED : 0;
    const DWORD base = shown | enabled;
    const int id = c.id == kNoId ? -1 : c.id;
    switch (c.kind) {
        case fw::ControlKind::Edit: {
            DWORD style = base | WS_TABSTOP | ES_AUTOHSCROLL;
            style |= (c.style & fw::kReadOnly) != 0 ? ES_READONLY : 0;
            style |= (c.style & fw::kDigitsOnly) != 0 ? ES_NUMBER : 0;
            if ((c.style & fw::kMultiline) != 0) {
                style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
                style |= (c.style & fw::kScrollBars) != 0 ? WS_VSCROLL | WS_HSCROLL : 0;
                if ((c.style & fw::kNoWrap) == 0) {
                    style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
                }
            }
            const bool fixed = (c.style & fw::kMonospace) != 0 && fonts.fixed != nullptr;
            HWND edit = Make(parent, instance, L"EDIT", c.caption, style, WS_EX_CLIENTEDGE, id,
                             fixed ? fonts.fixed : fonts.normal);
            if ((c.style & fw::kMultiline) != 0) {
                SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // the log grows for a whole session
            }
            return edit;
        }
        case fw::ControlKind::ComboBox:
            return Make(parent, instance, WC_COMBOBOXW, {}, base | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                        0, id, fonts.normal);
        case fw::ControlKind::PushButton: {
            const DWORD kind = (c.style & fw::kDefaultButton) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            return Make(parent, instance, L"BUTTON", c.caption, base | WS_TABSTOP | BS_NOTIFY | kind, 0, id,
                        fonts.normal);
        }
        // Check boxes and radio buttons change when the dialog says so: the window thread decides
        // (a refused click changes nothing), and the view shows its answer.
        case fw::ControlKind::CheckBox:
            return Make(parent, instance, L"BUTTON", c.caption, base | WS_TABSTOP | BS_NOTIFY | BS_CHECKBOX,
                        0, id, fonts.normal);
        case fw::ControlKind::RadioButton:
            return Make(parent, instance, L"BUTTON", c.caption,
                        base | WS_TABSTOP | BS_NOTIFY | BS_RADIOBUTTON, 0, id, fonts.normal);
        case fw::ControlKind::StaticIcon: {
            HWND icon =
                Make(parent, instance, L"STATIC", {}, base | SS_ICON | SS_CENTERIMAGE, 0, id, nullptr);
            if (c.icon != 0) {
                SendMessageW(icon, STM_SETICON,
                             reinterpret_cast<WPARAM>(LoadIconResource(instance, c.icon, 32)), 0);
            }
            return icon;
        }
        case fw::ControlKind::Tab:
            return Make(parent, instance, WC_TABCONTROLW, {},
                        base | WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, id,
                        fonts.normal);
        case fw::ControlKind::GroupBox:
            return Make(parent, instance, L"BUTTON", c.caption, base | BS_GROUPBOX, 0, id, fonts.normal);
        case fw::ControlKind::StaticText:
            return Make(parent, instance, L"STATIC", c.caption, base | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX,
                        0, id, fonts.normal);
    }
    return nullptr;
}

HWND MakeLabel(const std::string& text, bool shown, HWND parent, HINSTANCE instance, HFONT font) {
    return Make(parent, instance, L"STATIC", text,
                (shown ? WS_VISIBLE : 0) | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0, -1, font);
}

void Move(HWND hwnd, const view::Rect& r, HDWP& batch) {
    if (hwnd == nullptr || r.Empty()) {
        return;
    }
    if (batch != nullptr) {
        batch = DeferWindowPos(batch, hwnd, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch == nullptr) {
        MoveWindow(hwnd, r.x, r.y, r.w, r.h, TRUE);
    }
}

view::Metrics MetricsFor(HFONT font) {
    view::Metrics m;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // Rows follow the font: an edit or combo box holds one line with its border.
    m.rowHeight = std::max(m.rowHeight, static_cast<int>(tm.tmHeight) + 9);
    m.frameTop = std::max(m.frameTop, static_cast<int>(tm.tmHeight) + 6);
    return m;
}

}  // namespace

view::MeasureText Measurer(HFONT font) {
    return [font](const std::string& text) {
        const std::wstring w = Wide(text);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return static_cast<int>(size.cx) + 2;
    };
}

HICON LoadIconResource(HINSTANCE instance, int id, int size) {
    auto* icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
    return icon != nullptr ? icon : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}

RenderedDialog CreateControls(const fw::DialogTemplate& tpl, HWND parent, HINSTANCE instance,
                              const Fonts& fonts) {
    RenderedDialog r;
    r.tpl = &tpl;
    r.layout = view::LayOut(tpl);
    // Group boxes first, so that the controls inside them lie above them.
    r.frames.resize(r.layout.blocks.size(), nullptr);
    for (size_t b = 0; b < r.layout.blocks.size(); ++b) {
        const auto& block = r.layout.blocks[b];
        if (block.framed) {
            r.frames[b] = Make(parent, instance, L"BUTTON", block.caption,
                               (block.hidden ? 0 : WS_VISIBLE) | BS_GROUPBOX, 0, -1, fonts.normal);
        }
    }
    r.controls.resize(tpl.controls.size());
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        const auto& c = tpl.controls[i];
        const bool shown = (c.style & fw::kHidden) == 0;
        NativeControl& n = r.controls[i];
        if (!c.label.empty()) {
            n.label = MakeLabel(c.label, shown, parent, instance, fonts.normal);
        }
        n.control = MakeControl(c, parent, instance, fonts);
        if (!c.suffix.empty()) {
            n.suffix = MakeLabel(c.suffix, shown && (c.suffixStyle & fw::kHidden) == 0, parent, instance,
                                 fonts.normal);
        }
        if (c.id != kNoId && n.control != nullptr) {
            r.byId[c.id] = n.control;
        }
    }
    return r;
}

void Arrange(const RenderedDialog& dialog, const view::Rect& area, HFONT font) {
    const view::Metrics m = MetricsFor(font);
    const view::Placement p = view::Place(*dialog.tpl, dialog.layout, area, m, Measurer(font));
    HDWP batch = BeginDeferWindowPos(static_cast<int>(dialog.controls.size() * 3 + dialog.frames.size()));
    for (size_t b = 0; b < dialog.frames.size(); ++b) {
        Move(dialog.frames[b], p.blocks[b], batch);
    }
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
        const NativeControl& n = dialog.controls[i];
        view::Rect control = p.controls[i].control;
        if (dialog.tpl->controls[i].kind == fw::ControlKind::ComboBox) {
            control.h += kComboListHeight;  // a combo box's window includes its list
        }
        Move(n.control, control, batch);
        Move(n.label, p.controls[i].label, batch);
        Move(n.suffix, p.controls[i].suffix, batch);
    }
    if (batch != nullptr) {
        EndDeferWindowPos(batch);
    }
}

view::Size NaturalClientSize(const RenderedDialog& dialog, HFONT font) {
    return view::NaturalSize(*dialog.tpl, dialog.layout, MetricsFor(font), Measurer(font));
}

}  // namespace marlinq::win32
