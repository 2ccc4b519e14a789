#include "framework/control_access.h"

#include "framework/dialog.h"

namespace fw {

template <class T, class F>
void CDialogControlAccess::Write(int id, F fn) {
    // Off the window thread the change is queued; the dialog is looked up again when it runs.
    CDialog& dlg = m_dlg;
    dlg.RunOnWindowThread([&dlg, id, fn = std::move(fn)] {
        if (auto* control = dlg.GetItem<T>(id)) {
            fn(*control);
        }
    });
}

std::string CDialogControlAccess::GetWindowText(int id) const {
    const CControl* c = m_dlg.GetDlgItem(id);
    return c != nullptr ? c->GetWindowText() : std::string();
}

void CDialogControlAccess::SetWindowText(int id, const std::string& text) {
    Write<CControl>(id, [text](CControl& c) { c.SetWindowText(text); });
}

int CDialogControlAccess::GetCheck(int id) const {
    const auto* b = m_dlg.GetItem<CButton>(id);
    return b != nullptr ? b->GetCheck() : BST_UNCHECKED;
}

void CDialogControlAccess::SetCheck(int id, int check) {
    Write<CButton>(id, [check](CButton& b) { b.SetCheck(check); });
}

int CDialogControlAccess::GetCurSel(int id) const {
    const auto* c = m_dlg.GetItem<CComboBox>(id);
    return c != nullptr ? c->GetCurSel() : -1;
}

void CDialogControlAccess::SetCurSel(int id, int index) {
    Write<CComboBox>(id, [index](CComboBox& c) { c.SetCurSel(index); });
}

void CDialogControlAccess::SelectItemText(int id, const std::string& text) {
    Write<CComboBox>(id, [text](CComboBox& c) {
        int found = -1;
        for (int i = 0; i < c.GetCount() && found < 0; ++i) {
            found = c.GetLBText(i) == text ? i : -1;
        }
        c.SetCurSel(found);
    });
}

int CDialogControlAccess::GetCount(int id) const {
    const auto* c = m_dlg.GetItem<CComboBox>(id);
    return c != nullptr ? c->GetCount() : 0;
}

std::string CDialogControlAccess::GetLBText(int id, int index) const {
    const auto* c = m_dlg.GetItem<CComboBox>(id);
    return c != nullptr ? c->GetLBText(index) : std::string();
}

void CDialogControlAccess::AddString(int id, const std::string& text) {
    Write<CComboBox>(id, [text](CComboBox& c) { c.AddString(text); });
}

void CDialogControlAccess::ResetContent(int id) {
    Write<CComboBox>(id, [](CComboBox& c) { c.ResetContent(); });
}

BOOL CDialogControlAccess::IsWindowEnabled(int id) const {
    const CControl* c = m_dlg.GetDlgItem(id);
    return c != nullptr ? c->IsWindowEnabled() : FALSE;
}

void CDialogControlAccess::EnableWindow(int id, bool enable) {
    Write<CControl>(id, [enable](CControl& c) { c.EnableWindow(enable ? TRUE : FALSE); });
}

void CDialogControlAccess::ShowWindow(int id, bool show) {
    Write<CControl>(id, [show](CControl& c) { c.ShowWindow(show ? TRUE : FALSE); });
}

void CDialogControlAccess::FocusAtEnd(int id) {
    Write<CControl>(id, [](CControl& c) {
        if (auto* edit = dynamic_cast<CEdit*>(&c)) {
            const int end = static_cast<int>(edit->GetWindowText().size());
            edit->SetSel(end, end);
        }
        c.SetFocus();
    });
}

void CDialogControlAccess::SetIcon(int id, int iconId) {
    Write<CStatic>(id, [iconId](CStatic& s) { s.SetIcon(iconId); });
}

}  // namespace fw
