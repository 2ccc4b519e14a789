#include "framework/control.h"

#include <algorithm>

#include "framework/dialog.h"
#include "framework/window_thread.h"

namespace fw {

namespace {

bool InRange(const std::vector<std::string>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size());
}

// The text of item index, empty when there is no such item.
std::string ItemText(const std::vector<std::string>& items, int index) {
    return InRange(items, index) ? items[static_cast<size_t>(index)] : std::string();
}

}  // namespace

void CControl::Attach(CDialog* owner, const ControlTemplate& tpl) {
    m_owner = owner;
    m_state = ControlState{};
    m_state.id = tpl.id;
    m_state.kind = tpl.kind;
    m_state.style = tpl.style;
    m_state.group = tpl.group;
    m_state.text = tpl.caption;
    m_state.enabled = (tpl.style & kDisabled) == 0;
    m_state.visible = (tpl.style & kHidden) == 0;
    m_state.icon = tpl.icon;
}

void CControl::Notify(ControlChange::What what, int value, int value2) {
    if (m_owner == nullptr || m_owner->GetSafeHwnd() == 0) {
        return;
    }
    ControlChange change;
    change.hwnd = m_owner->GetSafeHwnd();
    change.id = m_state.id;
    change.what = what;
    change.value = value;
    change.value2 = value2;
    for (auto* o : m_owner->Thread().Observers()) {
        o->OnControlChanged(change);
    }
}

void CControl::NotifyText(ControlChange::What what, const std::string& text) {
    if (m_owner == nullptr || m_owner->GetSafeHwnd() == 0) {
        return;
    }
    ControlChange change;
    change.hwnd = m_owner->GetSafeHwnd();
    change.id = m_state.id;
    change.what = what;
    change.text = text;
    for (auto* o : m_owner->Thread().Observers()) {
        o->OnControlChanged(change);
    }
}

void CControl::NotifyItems() {
    if (m_owner == nullptr || m_owner->GetSafeHwnd() == 0) {
        return;
    }
    ControlChange change;
    change.hwnd = m_owner->GetSafeHwnd();
    change.id = m_state.id;
    change.what = ControlChange::What::Items;
    change.items = m_state.items;
    change.value = m_state.curSel;
    for (auto* o : m_owner->Thread().Observers()) {
        o->OnControlChanged(change);
    }
}

void CControl::SetWindowText(const std::string& text) {
    if (text == m_state.text) {
        return;
    }
    m_state.text = text;
    m_state.selStart = m_state.selEnd = 0;
    NotifyText(ControlChange::What::Text, text);
}

void CControl::EnableWindow(BOOL enable) {
    const bool e = enable != FALSE;
    if (e == m_state.enabled) {
        return;
    }
    m_state.enabled = e;
    Notify(ControlChange::What::Enabled, e ? 1 : 0);
}

void CControl::ShowWindow(BOOL show) {
    const bool v = show != FALSE;
    if (v == m_state.visible) {
        return;
    }
    m_state.visible = v;
    Notify(ControlChange::What::Visible, v ? 1 : 0);
}

void CControl::SetFocus() {
    if (m_owner != nullptr && m_owner->GetSafeHwnd() != 0) {
        m_owner->Thread().SetFocus(m_owner->GetSafeHwnd(), m_state.id);
    }
}

void CControl::NoteUserFocus() {
    if (m_owner != nullptr && m_owner->GetSafeHwnd() != 0) {
        m_owner->Thread().NoteFocus(m_owner->GetSafeHwnd(), m_state.id);
    }
}

void CControl::OnLButtonDown(int /*part*/) {
    SetFocus();
}

bool CControl::OnUserText(const std::string& text) {
    if (m_state.kind != ControlKind::Edit || HasStyle(kReadOnly)) {
        return false;
    }
    if (HasStyle(kDigitsOnly) &&
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    SetWindowText(text);
    // The caret of the view the user types in is the user's: recorded here, not sent back.
    m_state.selStart = m_state.selEnd = static_cast<int>(text.size());
    if (m_owner != nullptr) {
        m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(m_state.id), EN_CHANGE), 0);
    }
    return true;
}

// ---- CEdit

void CEdit::SetSel(int start, int end) {
    const int size = static_cast<int>(m_state.text.size());
    if (start < 0) {
        start = end = size;  // -1 deselects and puts the caret at the end
    }
    start = std::clamp(start, 0, size);
    end = end < 0 ? size : std::clamp(end, 0, size);
    m_state.selStart = start;
    m_state.selEnd = end;
    Notify(ControlChange::What::Selection, start, end);
}

void CEdit::GetSel(int& start, int& end) const {
    start = m_state.selStart;
    end = m_state.selEnd;
}

void CEdit::ReplaceSel(const std::string& text) {
    const auto start = static_cast<size_t>(m_state.selStart);
    const auto end = static_cast<size_t>(m_state.selEnd);
    const bool append = start == m_state.text.size() && end == start;
    m_state.text.replace(start, end - start, text);
    m_state.selStart = m_state.selEnd = static_cast<int>(start + text.size());
    if (append) {
        NotifyText(ControlChange::What::TextAppended, text);
    } else {
        NotifyText(ControlChange::What::Text, m_state.text);
    }
}

int CEdit::GetLineCount() const {
    return 1 + static_cast<int>(std::count(m_state.text.begin(), m_state.text.end(), '\n'));
}

void CEdit::LineScroll(int lines) {
    // The last line stays in view however far the pane is scrolled.
    const int first = std::clamp(m_state.firstVisibleLine + lines, 0, std::max(0, GetLineCount() - 1));
    if (first == m_state.firstVisibleLine) {
        return;
    }
    m_state.firstVisibleLine = first;
    Notify(ControlChange::What::Scroll, first);
}

// ---- CComboBox

int CComboBox::AddString(const std::string& text) {
    auto pos = m_state.items.end();
    if (HasStyle(kSorted)) {
        pos = std::upper_bound(m_state.items.begin(), m_state.items.end(), text);
    }
    const int index = static_cast<int>(pos - m_state.items.begin());
    m_state.items.insert(pos, text);
    if (m_state.curSel >= index) {
        ++m_state.curSel;
    }
    NotifyItems();
    return index;
}

void CComboBox::ResetContent() {
    m_state.items.clear();
    m_state.curSel = -1;
    m_state.text.clear();
    NotifyItems();
}

int CComboBox::SetCurSel(int index) {
    if (!InRange(m_state.items, index)) {
        index = -1;
    }
    m_state.curSel = index;
    m_state.text = ItemText(m_state.items, index);
    Notify(ControlChange::What::CurSel, index);
    return index;
}

std::string CComboBox::GetLBText(int index) const {
    return ItemText(m_state.items, index);
}

void CComboBox::OnLButtonDown(int item) {
    SetFocus();
    if (!InRange(m_state.items, item)) {
        return;
    }
    SetCurSel(item);
    if (m_owner != nullptr) {
        m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(m_state.id), CBN_SELCHANGE), 0);
    }
}

// ---- CButton

void CButton::SetCheck(int check) {
    check = check != BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
    if (check == m_state.check) {
        return;
    }
    m_state.check = check;
    Notify(ControlChange::What::Check, check);
}

void CButton::OnLButtonDown(int /*part*/) {
    SetFocus();
    // Check boxes and radio buttons are automatic: they change their state on a click.
    if (m_state.kind == ControlKind::CheckBox) {
        SetCheck(m_state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if (m_state.kind == ControlKind::RadioButton && m_owner != nullptr) {
        m_owner->CheckRadioInGroup(*this);
    }
    if (m_owner != nullptr) {
        m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(m_state.id), BN_CLICKED), 0);
    }
}

// ---- CStatic

void CStatic::SetIcon(int iconId) {
    if (iconId == m_state.icon) {
        return;
    }
    m_state.icon = iconId;
    Notify(ControlChange::What::Icon, iconId);
}

// ---- CTabCtrl

int CTabCtrl::InsertItem(int index, const std::string& title) {
    index = std::clamp(index, 0, GetItemCount());
    m_state.items.insert(m_state.items.begin() + index, title);
    if (m_state.curSel < 0) {
        m_state.curSel = 0;
        m_state.curFocus = 0;
    } else if (m_state.curSel >= index && GetItemCount() > 1) {
        ++m_state.curSel;
    }
    NotifyItems();
    return index;
}

int CTabCtrl::SetCurSel(int index) {
    if (!InRange(m_state.items, index)) {
        return -1;
    }
    const int previous = m_state.curSel;
    m_state.curSel = index;
    m_state.curFocus = index;
    Notify(ControlChange::What::CurSel, index, index);
    return previous;
}

std::string CTabCtrl::GetItemText(int index) const {
    return ItemText(m_state.items, index);
}

void CTabCtrl::OnLButtonDown(int tab) {
    SetFocus();
    if (!InRange(m_state.items, tab) || tab == m_state.curSel) {
        return;
    }
    SetCurSel(tab);
    if (m_owner != nullptr) {
        NMHDR hdr{m_owner->GetSafeHwnd(), m_state.id, TCN_SELCHANGE};
        m_owner->SendMessage(WM_NOTIFY, static_cast<WPARAM>(m_state.id), reinterpret_cast<LPARAM>(&hdr));
    }
}

}  // namespace fw
