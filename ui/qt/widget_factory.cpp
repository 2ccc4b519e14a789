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
#include "ui/view/label_text.h"
#include "ui/view/template_layout.h"

namespace marlinq::qt {

namespace {

QString Q(const std::string& s) {
    // Labels end in a full-width colon; where the desktop font has no such glyph, show a plain one.
    static const bool hasWideColon = QFontMetrics(QApplication::font()).inFontUcs4(0xFF1A);
    const std::string text = hasWideColon ? s : view::PlainColons(s);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
    const view::DialogLayout layout = view::LayOut(tpl);
    RenderedDialog r;
    r.root = new QWidget(parent);
    auto* columnsLayout = new QHBoxLayout(r.root);
    const int margin = (tpl.style & fw::kChild) != 0 ? 8 : 0;
    columnsLayout->setContentsMargins(margin, margin, margin, margin);
    r.groups.resize(tpl.groups.size(), nullptr);
    for (const auto& column : layout.columns) {
        auto* w = new QWidget(r.root);
        auto* v = new QVBoxLayout(w);
        v->setContentsMargins(0, 0, 0, 0);
        columnsLayout->addWidget(w, 1);
        r.columns.push_back(w);
        for (int blockIndex : column.blocks) {
            const auto& block = layout.blocks[static_cast<size_t>(blockIndex)];
            QWidget* box = block.framed ? new QGroupBox(Q(block.caption), w) : new QWidget(w);
            auto* grid = new QGridLayout(box);
            grid->setColumnStretch(1, 1);
            if (!block.framed) {
                grid->setContentsMargins(0, 0, 0, 0);
            }
            box->setVisible(!block.hidden);
            if (block.group >= 0) {
                r.groups[static_cast<size_t>(block.group)] = box;
            }
            v->addWidget(box);
            int gridRow = 0;
            for (const auto& row : block.rows) {
                auto* line = new QHBoxLayout();
                // Free buttons of the last column sit at its right end, as dialog buttons do.
                if (block.alignEnd) {
                    line->addStretch(1);
                }
                for (const auto& cell : row.cells) {
                    const auto& c = *cell.control;
                    QWidget* control = MakeControl(c, box);
                    if (!c.label.empty()) {
                        auto* label = new QLabel(Q(c.label), box);
                        r.companions[c.id].push_back(label);
                        if (&cell == &row.cells.front()) {
                            grid->addWidget(label, gridRow, 0);  // the block's column of labels
                        } else {
                            line->addWidget(label);
                        }
                    }
                    line->addWidget(control, cell.stretch ? 1 : 0);
                    if (!c.suffix.empty()) {
                        auto* suffix = new QLabel(Q(c.suffix), box);
                        const bool shown = (c.suffixStyle & fw::kHidden) == 0;
                        suffix->setVisible(shown);
                        if (shown) {
                            r.companions[c.id].push_back(suffix);
                        }
                        line->addWidget(suffix);
                    }
                    const bool hidden = (c.style & fw::kHidden) != 0;
                    for (QWidget* comp : r.companions[c.id]) {
                        comp->setVisible(!hidden);
                    }
                    control->setVisible(!hidden);
                    if (c.id != fw::IDC_STATIC) {
                        r.controls[c.id] = control;
                    }
                }
                if (!block.alignEnd) {
                    line->addStretch(0);  // buttons of a row without stretching controls keep their size
                }
                grid->addLayout(line, gridRow++, 1);
            }
        }
        if (!column.expands) {
            v->addStretch(1);
        }
    }
    return r;
}

}  // namespace marlinq::qt
