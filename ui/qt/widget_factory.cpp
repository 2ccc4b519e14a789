#include "ui/qt/widget_factory.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/resource.h"

namespace marlinq::qt {

namespace {

QString Q(const std::string& s) {
    QString text = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    // Labels end in a full-width colon; where the desktop font has no such glyph, show a plain one.
    static const bool hasWideColon = QFontMetrics(QApplication::font()).inFontUcs4(0xFF1A);
    if (!hasWideColon) {
        text.replace(QChar(0xFF1A), QLatin1Char(':'));
    }
    return text;
}

QPixmap DrawMainIcon(int size) {
    // A module with an antenna: the tool's own mark.
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    p.setPen(QPen(QColor(40, 70, 120), 2 * s));
    p.setBrush(QColor(70, 120, 190));
    p.drawRoundedRect(QRectF(5 * s, 12 * s, 22 * s, 16 * s), 3 * s, 3 * s);
    p.drawLine(QPointF(21 * s, 12 * s), QPointF(21 * s, 4 * s));
    p.setBrush(QColor(250, 200, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(21 * s, 4 * s), 2.5 * s, 2.5 * s);
    p.setBrush(QColor(140, 230, 140));
    p.drawEllipse(QPointF(10 * s, 20 * s), 2 * s, 2 * s);
    return pm;
}

QWidget* MakeControl(const fw::ControlTemplate& c, QWidget* parent) {
    switch (c.kind) {
        case fw::ControlKind::Edit: {
            if ((c.style & fw::kMultiline) != 0) {
                auto* e = new QPlainTextEdit(parent);
                e->setReadOnly((c.style & fw::kReadOnly) != 0);
                e->setLineWrapMode((c.style & fw::kNoWrap) != 0 ? QPlainTextEdit::NoWrap
                                                                : QPlainTextEdit::WidgetWidth);
                if ((c.style & fw::kMonospace) != 0) {
                    e->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
                }
                e->setMinimumWidth(340);
                return e;
            }
            auto* e = new QLineEdit(Q(c.caption), parent);
            e->setReadOnly((c.style & fw::kReadOnly) != 0);
            if ((c.style & fw::kDigitsOnly) != 0) {
                e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
            }
            return e;
        }
        case fw::ControlKind::ComboBox: {
            auto* b = new QComboBox(parent);
            b->setMinimumContentsLength(8);
            return b;
        }
        case fw::ControlKind::PushButton: {
            auto* b = new QPushButton(Q(c.caption), parent);
            b->setAutoDefault(false);
            b->setDefault((c.style & fw::kDefaultButton) != 0);
            return b;
        }
        case fw::ControlKind::CheckBox:
            return new QCheckBox(Q(c.caption), parent);
        case fw::ControlKind::RadioButton: {
            auto* r = new QRadioButton(Q(c.caption), parent);
            r->setAutoExclusive(false);  // the dialog keeps its radio groups exclusive
            return r;
        }
        case fw::ControlKind::StaticIcon: {
            auto* l = new QLabel(parent);
            if (c.icon != 0) {
                l->setPixmap(IconFor(c.icon).pixmap(48, 48));
            }
            return l;
        }
        case fw::ControlKind::Tab:
            return new QTabWidget(parent);
        case fw::ControlKind::GroupBox:
        case fw::ControlKind::StaticText:
            return new QLabel(Q(c.caption), parent);
    }
    return new QWidget(parent);
}

// Rows of one block (a group or the free controls of a column), in order of their row numbers.
struct Block {
    QWidget* widget = nullptr;
    QGridLayout* grid = nullptr;
    std::map<int, QHBoxLayout*> rows;
};

}  // namespace

QIcon IconFor(int id) {
    QStyle* style = QApplication::style();
    switch (id) {
        case IDR_MAINFRAME: {
            QIcon icon;
            for (int size : {16, 32, 48, 64}) {
                icon.addPixmap(DrawMainIcon(size));
            }
            return icon;
        }
        case IDI_PORT_OPEN:
            return style->standardIcon(QStyle::SP_DialogApplyButton);
        case IDI_PORT_CLOSED:
            return style->standardIcon(QStyle::SP_DialogCancelButton);
        default:
            return {};
    }
}

RenderedDialog RenderDialog(const fw::DialogTemplate& tpl, QWidget* parent) {
    RenderedDialog r;
    r.root = new QWidget(parent);
    auto* columnsLayout = new QHBoxLayout(r.root);
    const bool child = (tpl.style & fw::kChild) != 0;
    columnsLayout->setContentsMargins(child ? 8 : 0, child ? 8 : 0, child ? 8 : 0, child ? 8 : 0);
    const int columnCount = std::max(1, tpl.columns);
    std::vector<QVBoxLayout*> columns;
    for (int i = 0; i < columnCount; ++i) {
        auto* w = new QWidget(r.root);
        auto* v = new QVBoxLayout(w);
        v->setContentsMargins(0, 0, 0, 0);
        columnsLayout->addWidget(w, 1);
        columns.push_back(v);
        r.columns.push_back(w);
    }

    std::map<int, Block> groupBlocks;
    std::map<std::pair<int, int>, Block> freeBlocks;  // (column, first row) of free controls
    auto newBlock = [&](QWidget* widget, int column) {
        Block b;
        b.widget = widget;
        b.grid = new QGridLayout(widget);
        b.grid->setColumnStretch(1, 1);
        columns[static_cast<size_t>(std::clamp(column, 0, columnCount - 1))]->addWidget(widget);
        return b;
    };
    r.groups.resize(tpl.groups.size(), nullptr);
    std::vector<bool> expands(static_cast<size_t>(columnCount), false);
    int lastFreeColumn = -1;
    int lastFreeKey = -1;
    for (const auto& c : tpl.controls) {
        Block* block = nullptr;
        if (c.group >= 0 && c.group < static_cast<int>(tpl.groups.size())) {
            auto it = groupBlocks.find(c.group);
            if (it == groupBlocks.end()) {
                const auto& g = tpl.groups[static_cast<size_t>(c.group)];
                QWidget* box = g.caption.empty() ? new QWidget(r.root) : new QGroupBox(Q(g.caption), r.root);
                it = groupBlocks.emplace(c.group, newBlock(box, g.column)).first;
                if (g.caption.empty()) {
                    it->second.grid->setContentsMargins(0, 0, 0, 0);
                }
                box->setVisible((g.style & fw::kHidden) == 0);
                r.groups[static_cast<size_t>(c.group)] = box;
            }
            block = &it->second;
            lastFreeColumn = -1;
        } else {
            // Free controls that follow each other in one column share a block.
            if (lastFreeColumn != c.column) {
                lastFreeKey = c.row;
                auto* w = new QWidget(r.root);
                freeBlocks.emplace(std::make_pair(c.column, lastFreeKey), newBlock(w, c.column));
                freeBlocks[{c.column, lastFreeKey}].grid->setContentsMargins(0, 0, 0, 0);
                lastFreeColumn = c.column;
            }
            block = &freeBlocks[{c.column, lastFreeKey}];
        }

        QWidget* host = block->widget;
        const int column = c.group >= 0 ? tpl.groups[static_cast<size_t>(c.group)].column : c.column;
        if (c.kind == fw::ControlKind::Tab || (c.style & fw::kMultiline) != 0) {
            expands[static_cast<size_t>(std::clamp(column, 0, columnCount - 1))] = true;
        }
        QWidget* w = MakeControl(c, host);
        const bool hidden = (c.style & fw::kHidden) != 0;
        auto rowIt = block->rows.find(c.row);
        const bool firstInRow = rowIt == block->rows.end();
        if (firstInRow) {
            const int gridRow = static_cast<int>(block->rows.size());
            auto* row = new QHBoxLayout();
            rowIt = block->rows.emplace(c.row, row).first;
            if (!c.label.empty()) {
                auto* label = new QLabel(Q(c.label), host);
                r.companions[c.id].push_back(label);
                block->grid->addWidget(label, gridRow, 0);
            }
            block->grid->addLayout(row, gridRow, 1);
        } else if (!c.label.empty()) {
            auto* label = new QLabel(Q(c.label), host);
            r.companions[c.id].push_back(label);
            rowIt->second->addWidget(label);
        }
        const bool stretch = c.kind == fw::ControlKind::Edit || c.kind == fw::ControlKind::ComboBox ||
                             c.kind == fw::ControlKind::Tab;
        rowIt->second->addWidget(w, stretch ? 1 : 0);
        if (!c.suffix.empty()) {
            auto* suffix = new QLabel(Q(c.suffix), host);
            suffix->setVisible((c.suffixStyle & fw::kHidden) == 0);
            if ((c.suffixStyle & fw::kHidden) == 0) {
                r.companions[c.id].push_back(suffix);
            }
            rowIt->second->addWidget(suffix);
        }
        for (QWidget* comp : r.companions[c.id]) {
            comp->setVisible(!hidden);
        }
        w->setVisible(!hidden);
        if (c.id != fw::IDC_STATIC) {
            r.controls[c.id] = w;
        }
    }
    // Buttons of a row without stretching controls keep their size at the left; free rows of
    // buttons in the last column sit at the right, as dialog buttons do.
    for (auto& [key, block] : groupBlocks) {
        for (auto& [row, layout] : block.rows) {
            layout->addStretch(0);
        }
    }
    for (auto& [key, block] : freeBlocks) {
        for (auto& [row, layout] : block.rows) {
            if (key.first == columnCount - 1 && columnCount > 1) {
                layout->insertStretch(0, 1);
            } else {
                layout->addStretch(0);
            }
        }
    }
    for (int i = 0; i < columnCount; ++i) {
        if (!expands[static_cast<size_t>(i)]) {
            columns[static_cast<size_t>(i)]->addStretch(1);
        }
    }
    return r;
}

}  // namespace marlinq::qt
