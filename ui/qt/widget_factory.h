// Builds the Qt widgets of a dialog template: groups, rows of labelled controls and columns.
#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "framework/dialog_template.h"

class QTabWidget;

namespace marlinq::qt {

struct RenderedDialog {
    QWidget* root = nullptr;
    std::map<int, QWidget*> controls;                 // by control id
    std::map<int, std::vector<QWidget*>> companions;  // labels and suffixes, hidden with their control
    std::vector<QWidget*> groups;                     // by group index
    std::vector<QWidget*> columns;                    // by column index
};

// Creates the widgets of `tpl` under a new widget placed in `parent`.
RenderedDialog RenderDialog(const fw::DialogTemplate& tpl, QWidget* parent);

// The icon of resource `id`.
QIcon IconFor(int id);

}  // namespace marlinq::qt
