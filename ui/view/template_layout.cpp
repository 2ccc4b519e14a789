#include "ui/view/template_layout.h"

#include <algorithm>

namespace marlinq::view {

bool StretchesInRow(const fw::ControlTemplate& c) {
    return c.kind == fw::ControlKind::Edit || c.kind == fw::ControlKind::ComboBox ||
           c.kind == fw::ControlKind::Tab;
}

bool ExpandsColumn(const fw::ControlTemplate& c) {
    return c.kind == fw::ControlKind::Tab ||
           (c.kind == fw::ControlKind::Edit && (c.style & fw::kMultiline) != 0);
}

DialogLayout LayOut(const fw::DialogTemplate& tpl) {
    DialogLayout layout;
    const int columnCount = std::max(1, tpl.columns);
    layout.columns.resize(static_cast<size_t>(columnCount));
    auto clampColumn = [&](int c) { return std::clamp(c, 0, columnCount - 1); };

    std::vector<int> groupBlock(tpl.groups.size(), -1);
    int lastFreeColumn = -1;
    int freeBlock = -1;
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        const auto& c = tpl.controls[i];
        int blockIndex = -1;
        if (c.group >= 0 && c.group < static_cast<int>(tpl.groups.size())) {
            int& known = groupBlock[static_cast<size_t>(c.group)];
            if (known < 0) {
                const auto& g = tpl.groups[static_cast<size_t>(c.group)];
                LayoutBlock b;
                b.group = c.group;
                b.caption = g.caption;
                b.framed = !g.caption.empty();
                b.hidden = (g.style & fw::kHidden) != 0;
                b.column = clampColumn(g.column);
                known = static_cast<int>(layout.blocks.size());
                layout.blocks.push_back(std::move(b));
                layout.columns[static_cast<size_t>(layout.blocks.back().column)].blocks.push_back(known);
            }
            blockIndex = known;
            lastFreeColumn = -1;
        } else {
            // Free controls that follow each other in one column share a block.
            if (lastFreeColumn != c.column || freeBlock < 0) {
                LayoutBlock b;
                b.column = clampColumn(c.column);
                b.alignEnd = columnCount > 1 && b.column == columnCount - 1;
                freeBlock = static_cast<int>(layout.blocks.size());
                layout.blocks.push_back(std::move(b));
                layout.columns[static_cast<size_t>(layout.blocks.back().column)].blocks.push_back(freeBlock);
                lastFreeColumn = c.column;
            }
            blockIndex = freeBlock;
        }
        LayoutBlock& block = layout.blocks[static_cast<size_t>(blockIndex)];
        auto row = std::find_if(block.rows.begin(), block.rows.end(),
                                [&](const LayoutRow& r) { return r.row == c.row; });
        if (row == block.rows.end()) {
            LayoutRow r;
            r.row = c.row;
            r.hidden = true;
            block.rows.push_back(r);
            row = block.rows.end() - 1;
        }
        row->cells.push_back(LayoutCell{static_cast<int>(i), &c, StretchesInRow(c)});
        row->hidden = row->hidden && (c.style & fw::kHidden) != 0;
        if (ExpandsColumn(c)) {
            row->expands = true;
            block.expands = true;
            layout.columns[static_cast<size_t>(block.column)].expands = true;
        }
    }
    for (auto& block : layout.blocks) {
        block.hidden = block.hidden || std::all_of(block.rows.begin(), block.rows.end(),
                                                   [](const LayoutRow& r) { return r.hidden; });
    }
    return layout;
}

}  // namespace marlinq::view
