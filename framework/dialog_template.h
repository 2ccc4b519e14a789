// Dialog templates: the data from which a dialog creates its controls and a view lays them out.
#pragma once

#include <string>
#include <vector>

#include "framework/types.h"

namespace fw {

enum class ControlKind {
    Edit,
    ComboBox,
    PushButton,
    CheckBox,
    RadioButton,
    StaticText,
    StaticIcon,
    GroupBox,
    Tab
};

// Style bits of a control template.
enum ControlStyle : unsigned {
    kHidden = 1u << 0,         // created without the visible style
    kDisabled = 1u << 1,       // created disabled
    kReadOnly = 1u << 2,       // edit: text cannot be changed by typing
    kDigitsOnly = 1u << 3,     // edit: only 0-9 can be typed
    kMultiline = 1u << 4,      // edit: several lines
    kScrollBars = 1u << 5,     // edit: both scroll bars
    kNoWrap = 1u << 6,         // edit: no word wrap
    kDefaultButton = 1u << 7,  // push button: the dialog's default button
    kDropList = 1u << 8,       // combo box: choose from the list only
    kSorted = 1u << 9,         // combo box: items are kept sorted
    kMonospace = 1u << 10,     // edit: shown in a fixed-pitch font
};

// Style bits of a dialog template.
enum DialogStyle : unsigned {
    kChild = 1u << 0,      // a page without caption or frame
    kResizable = 1u << 1,  // resizable frame
    kMinMaxBox = 1u << 2,  // minimise and maximise boxes
    kSysMenu = 1u << 3,    // has a system menu
};

// A group box of a template. Controls name the group they sit in by its index.
struct GroupTemplate {
    std::string caption;
    int column = 0;
    unsigned style = 0;  // kHidden
};

// One control. `label` and `suffix` are the static texts the template places before and after the
// control (for example "APN：" and "mins"); they share the control's hidden state. Controls of one
// group with the same `row` are laid out on one line; `column` places a control that is in no group.
struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::StaticText;
    std::string caption;
    unsigned style = 0;
    std::string label;
    std::string suffix;
    int group = -1;
    int row = 0;
    int column = 0;
    unsigned suffixStyle = 0;  // kHidden for a hint that exists but is not shown
    int icon = 0;              // static icon: icon resource id
};

struct DialogTemplate {
    UINT id = 0;
    std::string caption;
    std::string font;
    int pointSize = 9;
    unsigned style = 0;
    int columns = 1;
    std::vector<GroupTemplate> groups;
    std::vector<ControlTemplate> controls;

    const ControlTemplate* Find(int controlId) const {
        for (const auto& c : controls) {
            if (c.id == controlId) {
                return &c;
            }
        }
        return nullptr;
    }
};

// Where a program finds its templates by id; dialogs and views look them up here.
class ITemplateSource {
  public:
    virtual ~ITemplateSource() = default;
    virtual const DialogTemplate* FindTemplate(UINT id) const = 0;
};

}  // namespace fw
