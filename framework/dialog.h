// A dialog built from a template: its controls, its message map and handlers, the modal loop,
// child pages, timers, the system menu and the modal services of its view.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/control.h"
#include "framework/dialog_template.h"
#include "framework/message_map.h"
#include "framework/observer.h"
#include "framework/types.h"
#include "framework/window_thread.h"

namespace fw {

class CDialog;

// The system menu of a dialog.
class CMenu {
  public:
    enum : UINT { MF_STRING = 0x0, MF_SEPARATOR = 0x800 };
    explicit CMenu(CDialog* owner) : m_owner(owner) {}
    void AppendMenu(UINT flags, UINT id = 0, const std::string& text = {});
    const std::vector<MenuItem>& Items() const { return m_items; }
    void SetDefaultItems();

  private:
    CDialog* m_owner;
    std::vector<MenuItem> m_items;
};

class CDialog {
  public:
    // A top-level dialog on `thread`.
    CDialog(UINT templateId, CWindowThread& thread);
    // A modal dialog owned by `parent`, or a page created inside it with Create.
    CDialog(UINT templateId, CDialog* parent);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally on the calling thread (which becomes the window thread of a
    // top-level dialog) and returns the value given to EndDialog, or -1 when it cannot be created.
    int DoModal();
    // Creates the dialog from template `templateId` as a hidden child page of its parent, hosted
    // by the parent's control `hostControlId` at `hostIndex`.
    BOOL Create(UINT templateId, int hostControlId, int hostIndex);
    void EndDialog(int result);
    BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hwnd.load(); }
    CWindowThread& Thread() const { return m_thread; }
    CDialog* GetParent() const { return m_parent; }

    CControl* GetDlgItem(int id) const;
    template <class T>
    T* GetItem(int id) const {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, int check);
    int IsDlgButtonChecked(int id) const;
    // Checks `button` and unchecks the other radio buttons of its group.
    void CheckRadioInGroup(CButton& button);
    std::vector<CControl*> Controls() const;

    // Window thread: runs the handler now.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, int ctrlId = 0);
    // Any thread: queues the message.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Any thread: queues a message whose word parameter points to `text` when it is handled.
    BOOL PostTextMessage(UINT message, const std::string& text);
    // Any thread: runs `fn` on the window thread (at once when already there), unless the dialog is gone.
    void RunOnWindowThread(std::function<void()> fn);

    void SetTimer(UINT id, UINT ms);
    void KillTimer(UINT id);

    CMenu* GetSystemMenu(BOOL revert);
    void NotifySystemMenu();
    void SetIcon(int iconId, BOOL big);
    int GetIcon() const { return m_icon; }
    void ShowWindow(BOOL show);
    BOOL IsWindowVisible() const { return m_visible ? TRUE : FALSE; }
    // False while a modal dialog of this one runs, or while it or its parent is not shown.
    bool IsInputEnabled() const;

    int MessageBox(const std::string& text, const std::string& caption, UINT type = MB_OK);
    std::string DoFileDialog(const FileDialogRequest& request);

    // User input, on the window thread; each returns false when the input is refused (the
    // control is missing, disabled or hidden, or the dialog takes no input).
    bool InputClick(int id, int part = 0);
    bool InputText(int id, const std::string& text);
    bool InputFocus(int id);

  protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnTimer(UINT id);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnDestroy();
    virtual BOOL PreTranslateMessage(MSG& msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Before creation: the control `id` of the template is the member `control` (a derived
    // class such as CTabSheet, or a member the dialog keeps for direct use).
    void BindControl(int id, CControl& control);

    CMessageMap m_messageMap;

  private:
    BOOL CreateFromTemplate(bool child, bool modal, int hostControlId, int hostIndex);
    void RunModalLoop();
    void SetInitialFocus();
    std::unique_ptr<CControl> MakeControl(ControlKind kind) const;

    UINT m_templateId;
    CWindowThread& m_thread;
    CDialog* m_parent;
    std::atomic<HWND> m_hwnd{0};
    const DialogTemplate* m_tpl = nullptr;
    std::map<int, CControl*> m_bound;
    std::vector<std::unique_ptr<CControl>> m_owned;
    std::vector<CControl*> m_controls;  // template order
    std::vector<CDialog*> m_children;
    CMenu m_sysMenu;
    int m_icon = 0;
    bool m_visible = false;
    bool m_endModal = false;
    int m_modalResult = -1;
    int m_modalChildren = 0;
};

}  // namespace fw
