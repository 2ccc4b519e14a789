#include "cli/parameter_layout.h"

#include <algorithm>

#include "parameters/parameter_names.h"
#include "ui/templates.h"
#include "ui/view/template_layout.h"

namespace marlinq::cli {

namespace {

using parameters::ParameterRow;

const fw::DialogTemplate* TemplateOf(unsigned dialog) {
    return Templates().FindTemplate(dialog);
}

// The template dialogs of the pages, in the window's order.
std::vector<unsigned> PageDialogs() {
    std::vector<unsigned> dialogs;
    for (const auto& row : parameters::ParameterTable()) {
        const char* page = parameters::PageName(row.dialog);
        if (page != nullptr && std::find(dialogs.begin(), dialogs.end(), row.dialog) == dialogs.end()) {
            dialogs.push_back(row.dialog);
        }
    }
    const auto pages = parameters::PageNames();
    const auto place = [&pages](unsigned dialog) {
        const std::string name = parameters::PageName(dialog);
        return std::find(pages.begin(), pages.end(), name) - pages.begin();
    };
    std::sort(dialogs.begin(), dialogs.end(),
              [&place](unsigned a, unsigned b) { return place(a) < place(b); });
    return dialogs;
}

// A label that names something: it holds a letter or a digit (any byte beyond ASCII counts,
// so that a label in another script does).
bool SaysSomething(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
    });
}

// text without its closing colon (ASCII or full-width) and the spaces around it.
std::string WithoutColon(std::string text) {
    static const std::string wide = "\xEF\xBC\x9A";  // U+FF1A
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (text.size() >= wide.size() && text.compare(text.size() - wide.size(), wide.size(), wide) == 0) {
        text.resize(text.size() - wide.size());
    } else if (!text.empty() && text.back() == ':') {
        text.pop_back();
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

// The nearest text to the left of control index on its row: the caption or label of an earlier
// control of the same group and row.
std::string TextToTheLeft(const fw::DialogTemplate& tpl, std::size_t index) {
    const fw::ControlTemplate& c = tpl.controls[index];
    for (std::size_t i = index; i-- > 0;) {
        const fw::ControlTemplate& before = tpl.controls[i];
        if (before.group != c.group || before.row != c.row || (c.group < 0 && before.column != c.column)) {
            continue;
        }
        if (SaysSomething(before.caption)) {
            return WithoutColon(before.caption);
        }
        if (SaysSomething(before.label)) {
            return WithoutColon(before.label);
        }
    }
    return {};
}

}  // namespace

std::vector<const ParameterRow*> ParametersInTemplateOrder(const fw::DialogTemplate& tpl) {
    std::vector<const ParameterRow*> rows;
    const view::DialogLayout layout = view::LayOut(tpl);
    for (const auto& column : layout.columns) {
        for (const int b : column.blocks) {
            for (const auto& line : layout.blocks[static_cast<std::size_t>(b)].rows) {
                for (const auto& cell : line.cells) {
                    const ParameterRow* row = parameters::FindParameter(tpl.id, cell.control->id);
                    if (row != nullptr && !parameters::ParameterName(*row).empty() &&
                        std::find(rows.begin(), rows.end(), row) == rows.end()) {
                        rows.push_back(row);
                    }
                }
            }
        }
    }
    return rows;
}

std::vector<const ParameterRow*> ParametersInWindowOrder() {
    std::vector<const ParameterRow*> rows;
    for (const unsigned dialog : PageDialogs()) {
        if (const fw::DialogTemplate* tpl = TemplateOf(dialog)) {
            const auto page = ParametersInTemplateOrder(*tpl);
            rows.insert(rows.end(), page.begin(), page.end());
        }
    }
    return rows;
}

const fw::ControlTemplate* ParameterControl(const ParameterRow& row) {
    const fw::DialogTemplate* tpl = TemplateOf(row.dialog);
    return tpl != nullptr && row.id != 0 ? tpl->Find(row.id) : nullptr;
}

std::string ParameterLabel(const ParameterRow& row, const fw::DialogTemplate& tpl) {
    const fw::ControlTemplate* c = tpl.Find(row.id);
    if (c == nullptr) {
        return {};
    }
    switch (c->kind) {
        case fw::ControlKind::CheckBox:
            return WithoutColon(c->caption);
        case fw::ControlKind::RadioButton:
            return c->group >= 0 && c->group < static_cast<int>(tpl.groups.size())
                       ? WithoutColon(tpl.groups[static_cast<std::size_t>(c->group)].caption)
                       : std::string();
        default:
            break;
    }
    if (SaysSomething(c->label)) {
        return WithoutColon(c->label);
    }
    return TextToTheLeft(tpl, static_cast<std::size_t>(c - tpl.controls.data()));
}

std::string ParameterLabel(const ParameterRow& row) {
    const fw::DialogTemplate* tpl = TemplateOf(row.dialog);
    return tpl != nullptr ? ParameterLabel(row, *tpl) : std::string();
}

}  // namespace marlinq::cli
