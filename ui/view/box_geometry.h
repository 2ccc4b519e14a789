// Pixel geometry of a laid-out template, for views that place their controls themselves (the
// Win32 view). Columns share the width, blocks stack in their column, rows share their width
// among the controls that stretch; a control that expands takes the free height of its column.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "ui/view/template_layout.h"

namespace marlinq::view {

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
    bool Empty() const { return w <= 0 || h <= 0; }
};

struct Metrics {
    int margin = 8;      // around the whole dialog
    int columnGap = 10;  // between columns
    int blockGap = 6;    // between blocks of a column
    int rowHeight = 23;  // one row of controls
    int rowGap = 5;      // between rows of a block
    int frameTop = 20;   // caption band of a group box
    int framePad = 9;    // inner padding of a group box (left, right, bottom)
    int cellGap = 6;     // between controls of a row
    int labelGap = 4;    // between a label and its control
    int buttonMinWidth = 75;
    int buttonPad = 18;  // text to button border, both sides together
    int checkPad = 24;   // check box or radio mark with its gap
    int editMinWidth = 80;
    int comboMinWidth = 90;
    int tabMinWidth = 320;
    int multilineMinWidth = 200;
    int iconSize = 32;
    int expandMinHeight = 80;  // least height of a control that expands
};

using MeasureText = std::function<int(const std::string&)>;

struct PlacedControl {
    Rect control;
    Rect label;   // empty when the control has no label or is hidden
    Rect suffix;  // empty when it has no shown suffix or is hidden
};

struct Placement {
    std::vector<PlacedControl> controls;  // by template index
    std::vector<Rect> blocks;             // by block index; the frame of a group box
};

struct Size {
    int w = 0;
    int h = 0;
};

// Places every control of `tpl` (laid out as `layout`) in `area`. Hidden controls get empty rects.
Placement Place(const fw::DialogTemplate& tpl, const DialogLayout& layout, Rect area, const Metrics& m,
                const MeasureText& measure);

// The least size in which the dialog shows all its controls, margins included.
Size NaturalSize(const fw::DialogTemplate& tpl, const DialogLayout& layout, const Metrics& m,
                 const MeasureText& measure);

}  // namespace marlinq::view
