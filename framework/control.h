// Controls of a dialog. A control lives on its dialog's window thread; every change is reported
// to the thread's observers so that a view can mirror it.
#pragma once

#include <string>
#include <vector>

#include "framework/observer.h"
#include "framework/types.h"

namespace fw {

class CDialog;

class CControl {
  public:
    CControl() = default;
    virtual ~CControl() = default;
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    // Called by the dialog when it creates the control from its template.
    void Attach(CDialog* owner, const ControlTemplate& tpl);

    int GetDlgCtrlID() const { return m_state.id; }
    ControlKind Kind() const { return m_state.kind; }
    CDialog* GetParent() const { return m_owner; }
    const ControlState& State() const { return m_state; }
    bool HasStyle(unsigned style) const { return (m_state.style & style) != 0; }

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const { return m_state.text; }
    void EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const { return m_state.enabled ? TRUE : FALSE; }
    void ShowWindow(BOOL show);
    BOOL IsWindowVisible() const { return m_state.visible ? TRUE : FALSE; }
    // Gives the control the keyboard focus; the views move their real focus with it.
    void SetFocus();
    // The user put the keyboard focus here through a view, which shows it already.
    void NoteUserFocus();

    // Input from a user (a view, a test or the console), already on the window thread.
    // A mouse press on the control; `part` is the tab index for a tab control.
    virtual void OnLButtonDown(int part);
    // A user replacing the text; applies the read-only and digits-only rules. Returns false when refused.
    virtual bool OnUserText(const std::string& text);

  protected:
    void Notify(ControlChange::What what, int value = 0, int value2 = 0);
    void NotifyText(ControlChange::What what, const std::string& text);
    void NotifyItems();

    CDialog* m_owner = nullptr;
    ControlState m_state;
};

class CEdit : public CControl {
  public:
    // Selects from start to end (the caret when equal). Always announced: the user's keys move the
    // real caret of a view without telling this model.
    void SetSel(int start, int end);
    void GetSel(int& start, int& end) const;
    // Replaces the selection by text and puts the caret after it; at the end this is an append.
    void ReplaceSel(const std::string& text);
    int GetLineCount() const;
    void LineScroll(int lines);
};

class CComboBox : public CControl {
  public:
    // Returns the index of the new item.
    int AddString(const std::string& text);
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_state.items.size()); }
    // -1 clears the selection; an index out of range clears it too and returns -1 (CB_ERR).
    int SetCurSel(int index);
    int GetCurSel() const { return m_state.curSel; }
    std::string GetLBText(int index) const;
    void OnLButtonDown(int item) override;
};

class CButton : public CControl {
  public:
    void SetCheck(int check);
    int GetCheck() const { return m_state.check; }
    void OnLButtonDown(int part) override;
};

class CStatic : public CControl {
  public:
    void SetIcon(int iconId);
    int GetIcon() const { return m_state.icon; }
};

class CTabCtrl : public CControl {
  public:
    int InsertItem(int index, const std::string& title);
    int GetItemCount() const { return static_cast<int>(m_state.items.size()); }
    int GetCurSel() const { return m_state.curSel; }
    int SetCurSel(int index);
    int GetCurFocus() const { return m_state.curFocus; }
    std::string GetItemText(int index) const;
    // Default press: selects and focuses the tab and tells the parent with TCN_SELCHANGE.
    void OnLButtonDown(int tab) override;
};

}  // namespace fw
