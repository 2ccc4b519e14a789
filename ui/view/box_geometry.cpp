#include "ui/view/box_geometry.h"

#include <algorithm>
#include <numeric>

namespace marlinq::view {

namespace {

bool Hidden(const fw::ControlTemplate& c) {
    return (c.style & fw::kHidden) != 0;
}

bool HasSuffix(const fw::ControlTemplate& c) {
    return !c.suffix.empty() && (c.suffixStyle & fw::kHidden) == 0;
}

// The geometry pass over one template: natural sizes first, then positions.
class CGeometry {
  public:
    CGeometry(const fw::DialogTemplate& tpl, const DialogLayout& layout, const Metrics& m,
              const MeasureText& measure)
        : m_tpl(tpl), m_layout(layout), m_m(m), m_measure(measure) {}

    int ControlWidth(const fw::ControlTemplate& c) const {
        switch (c.kind) {
            case fw::ControlKind::Edit:
                return (c.style & fw::kMultiline) != 0 ? m_m.multilineMinWidth : m_m.editMinWidth;
            case fw::ControlKind::ComboBox:
                return m_m.comboMinWidth;
            case fw::ControlKind::Tab:
                return m_m.tabMinWidth;
            case fw::ControlKind::PushButton:
                return std::max(m_m.buttonMinWidth, m_measure(c.caption) + m_m.buttonPad);
            case fw::ControlKind::CheckBox:
            case fw::ControlKind::RadioButton:
                return m_measure(c.caption) + m_m.checkPad;
            case fw::ControlKind::StaticIcon:
                return m_m.iconSize;
            case fw::ControlKind::StaticText:
            case fw::ControlKind::GroupBox:
                return m_measure(c.caption);
        }
        return 0;
    }

    int LabelWidth(const fw::ControlTemplate& c) const {
        return c.label.empty() ? 0 : m_measure(c.label) + m_m.labelGap;
    }
    int SuffixWidth(const fw::ControlTemplate& c) const {
        return HasSuffix(c) ? m_m.labelGap + m_measure(c.suffix) : 0;
    }

    static const LayoutCell* FirstShown(const LayoutRow& row) {
        for (const auto& cell : row.cells) {
            if (!Hidden(*cell.control)) {
                return &cell;
            }
        }
        return nullptr;
    }

    // Width of the label column of a block: the labels of the first shown control of each row.
    int LabelColumn(const LayoutBlock& b) const {
        int w = 0;
        for (const auto& row : b.rows) {
            if (const LayoutCell* first = FirstShown(row)) {
                w = std::max(w, LabelWidth(*first->control));
            }
        }
        return w;
    }

    // Width of a row's cells after the label column.
    int CellsWidth(const LayoutRow& row) const {
        int w = 0;
        int shown = 0;
        const LayoutCell* first = FirstShown(row);
        for (const auto& cell : row.cells) {
            const auto& c = *cell.control;
            if (Hidden(c)) {
                continue;
            }
            w += (&cell != first ? LabelWidth(c) : 0) + ControlWidth(c) + SuffixWidth(c);
            ++shown;
        }
        return w + std::max(0, shown - 1) * m_m.cellGap;
    }

    int Frame(const LayoutBlock& b) const { return b.framed ? 2 * m_m.framePad : 0; }

    int BlockWidth(const LayoutBlock& b) const {
        int w = 0;
        const int labels = LabelColumn(b);
        for (const auto& row : b.rows) {
            if (!row.hidden) {
                w = std::max(w, labels + CellsWidth(row));
            }
        }
        return w + Frame(b);
    }

    int RowHeight(const LayoutRow& row) const {
        if (!row.expands) {
            int h = m_m.rowHeight;
            for (const auto& cell : row.cells) {
                if (cell.control->kind == fw::ControlKind::StaticIcon && !Hidden(*cell.control)) {
                    h = std::max(h, m_m.iconSize);
                }
            }
            return h;
        }
        return std::max(m_m.rowHeight, m_m.expandMinHeight);
    }

    int BlockHeight(const LayoutBlock& b) const {
        int h = 0;
        int rows = 0;
        for (const auto& row : b.rows) {
            if (!row.hidden) {
                h += RowHeight(row);
                ++rows;
            }
        }
        h += std::max(0, rows - 1) * m_m.rowGap;
        return b.framed ? h + m_m.frameTop + m_m.framePad : h;
    }

    int ColumnWidth(const LayoutColumn& col) const {
        int w = 0;
        for (int bi : col.blocks) {
            const auto& b = m_layout.blocks[static_cast<size_t>(bi)];
            if (!b.hidden) {
                w = std::max(w, BlockWidth(b));
            }
        }
        return w;
    }

    int ColumnHeight(const LayoutColumn& col) const {
        int h = 0;
        int blocks = 0;
        for (int bi : col.blocks) {
            const auto& b = m_layout.blocks[static_cast<size_t>(bi)];
            if (!b.hidden) {
                h += BlockHeight(b);
                ++blocks;
            }
        }
        return h + std::max(0, blocks - 1) * m_m.blockGap;
    }

    Size Natural() const {
        Size s;
        for (const auto& col : m_layout.columns) {
            s.w += ColumnWidth(col);
            s.h = std::max(s.h, ColumnHeight(col));
        }
        s.w += 2 * m_m.margin + static_cast<int>(m_layout.columns.size() - 1) * m_m.columnGap;
        s.h += 2 * m_m.margin;
        return s;
    }

    // Column widths in `width`: columns that expand share what the others leave, in proportion to
    // their natural widths; without such columns every column gets an equal share.
    std::vector<int> ColumnWidths(int width) const {
        const size_t n = m_layout.columns.size();
        std::vector<int> natural(n);
        for (size_t i = 0; i < n; ++i) {
            natural[i] = ColumnWidth(m_layout.columns[i]);
        }
        const int inner = width - static_cast<int>(n - 1) * m_m.columnGap;
        std::vector<int> out(n);
        const bool anyExpands = std::any_of(m_layout.columns.begin(), m_layout.columns.end(),
                                            [](const LayoutColumn& c) { return c.expands; });
        if (!anyExpands) {
            for (size_t i = 0; i < n; ++i) {
                out[i] = std::max(natural[i], inner / static_cast<int>(n));
            }
            return out;
        }
        int fixed = 0;
        int weights = 0;
        for (size_t i = 0; i < n; ++i) {
            if (m_layout.columns[i].expands) {
                weights += std::max(1, natural[i]);
            } else {
                out[i] = natural[i];
                fixed += natural[i];
            }
        }
        const int rest = std::max(0, inner - fixed);
        int given = 0;
        size_t last = 0;
        for (size_t i = 0; i < n; ++i) {
            if (m_layout.columns[i].expands) {
                out[i] = static_cast<int>(static_cast<long long>(rest) * std::max(1, natural[i]) / weights);
                given += out[i];
                last = i;
            }
        }
        out[last] += rest - given;  // the rounding remainder, so the last column ends flush
        for (size_t i = 0; i < n; ++i) {
            out[i] = std::max(out[i], natural[i]);
        }
        return out;
    }

    void PlaceRow(const LayoutRow& row, int labels, Rect r, bool alignEnd, Placement& out) const {
        const LayoutCell* first = FirstShown(row);
        int stretchers = 0;
        for (const auto& cell : row.cells) {
            stretchers += !Hidden(*cell.control) && cell.stretch ? 1 : 0;
        }
        const int free = std::max(0, r.w - labels - CellsWidth(row));
        int x = r.x;
        if (first != nullptr && labels > 0) {
            const int lw = LabelWidth(*first->control);
            if (lw > 0) {
                out.controls[static_cast<size_t>(first->index)].label = {x, r.y, lw - m_m.labelGap, r.h};
            }
            x += labels;
        }
        if (stretchers == 0 && alignEnd) {
            x += free;
        }
        int given = 0;
        for (const auto& cell : row.cells) {
            const auto& c = *cell.control;
            if (Hidden(c)) {
                continue;
            }
            PlacedControl& p = out.controls[static_cast<size_t>(cell.index)];
            if (&cell != first && !c.label.empty()) {
                const int lw = LabelWidth(c);
                p.label = {x, r.y, lw - m_m.labelGap, r.h};
                x += lw;
            }
            int w = ControlWidth(c);
            if (cell.stretch) {
                ++given;
                // The last stretching control takes the remainder, so the row ends flush.
                w += given == stretchers ? free - (free / stretchers) * (stretchers - 1) : free / stretchers;
            }
            const bool tall = row.expands || c.kind == fw::ControlKind::StaticIcon;
            p.control = {x, r.y, w, tall ? r.h : std::min(r.h, m_m.rowHeight)};
            x += w;
            if (HasSuffix(c)) {
                p.suffix = {x + m_m.labelGap, r.y, m_measure(c.suffix), r.h};
                x += SuffixWidth(c);
            }
            x += m_m.cellGap;
        }
    }

    void PlaceBlock(const LayoutBlock& b, Rect r, int extra, Placement& out, size_t index) const {
        out.blocks[index] = r;
        Rect inner = r;
        if (b.framed) {
            inner = {r.x + m_m.framePad, r.y + m_m.frameTop, r.w - 2 * m_m.framePad,
                     r.h - m_m.frameTop - m_m.framePad};
        }
        const int labels = LabelColumn(b);
        int y = inner.y;
        for (const auto& row : b.rows) {
            if (row.hidden) {
                continue;
            }
            const int h = RowHeight(row) + (row.expands ? extra : 0);
            if (row.expands) {
                extra = 0;
            }
            PlaceRow(row, labels, {inner.x, y, inner.w, h}, b.alignEnd, out);
            y += h + m_m.rowGap;
        }
    }

    Placement Place(Rect area) const {
        Placement out;
        out.controls.resize(m_tpl.controls.size());
        out.blocks.resize(m_layout.blocks.size());
        Rect inner{area.x + m_m.margin, area.y + m_m.margin, area.w - 2 * m_m.margin,
                   area.h - 2 * m_m.margin};
        const std::vector<int> widths = ColumnWidths(inner.w);
        int x = inner.x;
        for (size_t ci = 0; ci < m_layout.columns.size(); ++ci) {
            const auto& col = m_layout.columns[ci];
            int extra = col.expands ? std::max(0, inner.h - ColumnHeight(col)) : 0;
            int y = inner.y;
            for (int bi : col.blocks) {
                const auto& b = m_layout.blocks[static_cast<size_t>(bi)];
                if (b.hidden) {
                    continue;
                }
                const int blockExtra = b.expands ? extra : 0;
                const int h = BlockHeight(b) + blockExtra;
                PlaceBlock(b, {x, y, widths[ci], h}, blockExtra, out, static_cast<size_t>(bi));
                extra -= blockExtra;
                y += h + m_m.blockGap;
            }
            x += widths[ci] + m_m.columnGap;
        }
        return out;
    }

  private:
    const fw::DialogTemplate& m_tpl;
    const DialogLayout& m_layout;
    const Metrics& m_m;
    const MeasureText& m_measure;
};

}  // namespace

Placement Place(const fw::DialogTemplate& tpl, const DialogLayout& layout, Rect area, const Metrics& m,
                const MeasureText& measure) {
    return CGeometry(tpl, layout, m, measure).Place(area);
}

Size NaturalSize(const fw::DialogTemplate& tpl, const DialogLayout& layout, const Metrics& m,
                 const MeasureText& measure) {
    return CGeometry(tpl, layout, m, measure).Natural();
}

}  // namespace marlinq::view
