// Control access: the one way a subsystem reads and writes the controls of a dialog, by control
// id. The controls stay the only copy of what they show; a flow holds one IControlAccess per
// dialog it works on (the main window, or one mode page) and never a pointer to a control.
//
// Reads run on the dialog's window thread. Writes may come from any thread: off the window thread
// they are queued to it and take effect there in call order. An id that names no control of the
// dialog (or a control of another kind) reads as empty, -1 or 0 and ignores writes.
#pragma once

#include <string>

#include "framework/types.h"

namespace fw {

class CDialog;
class CControl;

class IControlAccess {
  public:
    virtual ~IControlAccess() = default;

    // Text of an edit, a static, a button caption, or the selected item of a combo box.
    virtual std::string GetWindowText(int id) const = 0;
    virtual void SetWindowText(int id, const std::string& text) = 0;

    // Check boxes and radio buttons: BST_CHECKED or BST_UNCHECKED.
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int check) = 0;

    // Combo boxes. GetCurSel is -1 when nothing is selected; SetCurSel(-1) clears the selection.
    virtual int GetCurSel(int id) const = 0;
    virtual void SetCurSel(int id, int index) = 0;
    // Selects the item whose text equals `text` exactly (case-sensitive), or clears the
    // selection when none does.
    virtual void SelectItemText(int id, const std::string& text) = 0;
    virtual int GetCount(int id) const = 0;
    virtual std::string GetLBText(int id, int index) const = 0;   // "" out of range
    virtual void AddString(int id, const std::string& text) = 0;  // sorted boxes keep their order
    virtual void ResetContent(int id) = 0;

    virtual BOOL IsWindowEnabled(int id) const = 0;
    virtual void EnableWindow(int id, bool enable) = 0;
    virtual void ShowWindow(int id, bool show) = 0;
    // Puts the caret behind the last character of an edit and gives it the keyboard focus.
    virtual void FocusAtEnd(int id) = 0;
    // The icon a static control shows.
    virtual void SetIcon(int id, int iconId) = 0;
};

// Control access over one framework dialog (a top-level dialog or a child page).
class CDialogControlAccess : public IControlAccess {
  public:
    explicit CDialogControlAccess(CDialog& dialog) : m_dlg(dialog) {}

    std::string GetWindowText(int id) const override;
    void SetWindowText(int id, const std::string& text) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int check) override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    void SelectItemText(int id, const std::string& text) override;
    int GetCount(int id) const override;
    std::string GetLBText(int id, int index) const override;
    void AddString(int id, const std::string& text) override;
    void ResetContent(int id) override;
    BOOL IsWindowEnabled(int id) const override;
    void EnableWindow(int id, bool enable) override;
    void ShowWindow(int id, bool show) override;
    void FocusAtEnd(int id) override;
    void SetIcon(int id, int iconId) override;

    CDialog& Dialog() const { return m_dlg; }

  private:
    template <class T, class F>
    void Write(int id, F fn);

    CDialog& m_dlg;
};

}  // namespace fw
