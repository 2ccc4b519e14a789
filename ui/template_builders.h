// Short forms for writing dialog templates as data.
#pragma once

#include <string>
#include <utility>

#include "framework/dialog_template.h"

namespace marlinq::tpl {

inline fw::ControlTemplate Control(int id, fw::ControlKind kind, std::string caption, std::string label,
                                   int group, int row, unsigned style) {
    fw::ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.caption = std::move(caption);
    c.label = std::move(label);
    c.group = group;
    c.row = row;
    c.style = style;
    return c;
}

inline fw::ControlTemplate Edit(int id, std::string label, int group, int row, unsigned style = 0,
                                std::string suffix = {}, unsigned suffixStyle = 0) {
    auto c = Control(id, fw::ControlKind::Edit, {}, std::move(label), group, row, style);
    c.suffix = std::move(suffix);
    c.suffixStyle = suffixStyle;
    return c;
}

inline fw::ControlTemplate Combo(int id, std::string label, int group, int row, unsigned style = 0) {
    return Control(id, fw::ControlKind::ComboBox, {}, std::move(label), group, row, style | fw::kDropList);
}

inline fw::ControlTemplate Button(int id, std::string caption, int group, int row, unsigned style = 0) {
    return Control(id, fw::ControlKind::PushButton, std::move(caption), {}, group, row, style);
}

inline fw::ControlTemplate Check(int id, std::string caption, int group, int row, unsigned style = 0) {
    return Control(id, fw::ControlKind::CheckBox, std::move(caption), {}, group, row, style);
}

inline fw::ControlTemplate Radio(int id, std::string caption, int group, int row, unsigned style = 0) {
    return Control(id, fw::ControlKind::RadioButton, std::move(caption), {}, group, row, style);
}

// A control that sits in no group, in `column` of the dialog.
inline fw::ControlTemplate InColumn(fw::ControlTemplate c, int column) {
    c.group = -1;
    c.column = column;
    return c;
}

}  // namespace marlinq::tpl
