// Change notifications through which a view mirrors every dialog and control, and the services
// (message boxes, file dialogs) that a view answers for the window thread.
#pragma once

#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/types.h"

namespace fw {

// State of one control; a snapshot of it is handed to views when a dialog is created.
struct ControlState {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::StaticText;
    unsigned style = 0;
    int group = -1;
    std::string text;  // caption or edit text
    bool enabled = true;
    bool visible = true;
    int check = BST_UNCHECKED;
    std::vector<std::string> items;  // combo box items or tab titles
    int curSel = -1;                 // selected item; -1 is none
    int curFocus = -1;               // tab control: the tab that has the focus
    int selStart = 0;                // edit selection (caret when equal)
    int selEnd = 0;
    int firstVisibleLine = 0;  // edit: scroll position in lines
    int icon = 0;              // static icon: icon resource id
};

struct ControlChange {
    enum class What { Text, TextAppended, Enabled, Visible, Check, Items, CurSel, Selection, Scroll, Icon };
    HWND hwnd = 0;
    int id = 0;
    What what = What::Text;
    std::string text;  // Text: the whole new text; TextAppended: the appended part only
    int value = 0;     // Enabled, Visible, Check, CurSel, Scroll, Icon; Selection: start
    int value2 = 0;    // Selection: end; CurSel of a tab: the focused tab
    std::vector<std::string> items;
};

struct MenuItem {
    UINT id = 0;  // 0 for a separator
    std::string text;
    bool separator = false;
};

struct DialogInfo {
    HWND hwnd = 0;
    HWND parent = 0;
    UINT templateId = 0;
    const DialogTemplate* tpl = nullptr;
    bool child = false;  // a page inside a host control of its parent
    bool modal = false;
    int hostControlId = 0;  // child: the control of the parent that hosts the page
    int hostIndex = 0;      // child: its index in that host
    std::vector<ControlState> controls;
};

// Receives every change on the window thread, in the order the changes happen. Implementations
// must not block for long and must not wait for the window thread.
class IDialogObserver {
  public:
    virtual ~IDialogObserver() = default;
    virtual void OnDialogCreated(const DialogInfo& /*info*/) {}
    virtual void OnDialogShown(HWND /*hwnd*/, bool /*visible*/) {}
    virtual void OnDialogDestroyed(HWND /*hwnd*/) {}
    virtual void OnControlChanged(const ControlChange& /*change*/) {}
    virtual void OnFocusChanged(HWND /*hwnd*/, int /*ctrlId*/) {}
    virtual void OnSystemMenuChanged(HWND /*hwnd*/, const std::vector<MenuItem>& /*items*/) {}
    virtual void OnIconChanged(HWND /*hwnd*/, int /*iconId*/) {}
    // The window thread began (true) or finished (false) handling messages after waiting.
    virtual void OnBusyChanged(bool /*busy*/) {}
};

// An open or save dialog for one file.
struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string defaultName;
    // Pairs of description and pattern separated by '|', an optional "||" at the end; a pattern may
    // list several globs separated by ';'. For example "xml file(*.xml)|*.xml|all files(*.*)|*.*||".
    std::string filter;
    std::string defaultExt;  // added to a chosen name without extension ("xml"; a "*." in front is ignored)
    bool fileMustExist = false;    // only an existing file can be chosen
    bool hideReadOnly = false;     // no read-only choice is offered (a Qt dialog never offers one)
    bool createPrompt = false;     // a chosen file that does not exist yet needs a confirmation
    bool overwritePrompt = false;  // save: choosing an existing file needs a confirmation
};

// Modal questions of the window thread, answered synchronously by the view.
class IUiServices {
  public:
    virtual ~IUiServices() = default;
    // Returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    // Returns the chosen path, or the empty text when the user cancelled.
    virtual std::string FileDialog(HWND owner, const FileDialogRequest& request) = 0;
};

}  // namespace fw
