// The arrangement of a dialog template that every view follows: columns, the blocks stacked in
// them (a group box, or the free controls that follow each other in one column), and the rows of
// each block. Views turn it into their own widgets and geometry; no view places a control by hand.
#pragma once

#include <string>
#include <vector>

#include "framework/dialog_template.h"

namespace marlinq::view {

struct LayoutCell {
    int index = 0;  // the control's index in the template
    const fw::ControlTemplate* control = nullptr;
    bool stretch = false;  // takes the free width of its row (edits, combo boxes, the tab control)
};

struct LayoutRow {
    int row = 0;  // the template's row number
    std::vector<LayoutCell> cells;
    bool hidden = false;   // every control of the row is hidden
    bool expands = false;  // holds a control that takes the free height (tab control, multi-line edit)
};

struct LayoutBlock {
    int group = -1;  // the template's group index; -1 for free controls
    std::string caption;
    bool framed = false;  // a group box with a caption around the rows
    bool hidden = false;  // the whole group is hidden
    int column = 0;
    bool alignEnd = false;  // the rows sit at the far end (free buttons of the last column)
    bool expands = false;
    std::vector<LayoutRow> rows;  // in order of first appearance in the template
};

struct LayoutColumn {
    std::vector<int> blocks;  // indices into DialogLayout::blocks, top to bottom
    bool expands = false;     // a block of it takes the free height; otherwise blocks sit at the top
};

struct DialogLayout {
    std::vector<LayoutBlock> blocks;
    std::vector<LayoutColumn> columns;
};

// A control that takes the free width of its row.
bool StretchesInRow(const fw::ControlTemplate& c);
// A control that takes the free height of its column.
bool ExpandsColumn(const fw::ControlTemplate& c);

DialogLayout LayOut(const fw::DialogTemplate& tpl);

}  // namespace marlinq::view
