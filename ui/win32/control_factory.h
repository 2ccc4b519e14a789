// Creates the Windows controls of a dialog template inside a window and places them by the shared
// layout and geometry of the templates.
#pragma once

#include "ui/win32/windows_api.h"

#include <map>
#include <vector>

#include "framework/dialog_template.h"
#include "ui/view/box_geometry.h"
#include "ui/view/template_layout.h"

namespace marlinq::win32 {

struct NativeControl {
    HWND control = nullptr;
    HWND label = nullptr;
    HWND suffix = nullptr;  // also for a hint that is never shown
};

struct RenderedDialog {
    const fw::DialogTemplate* tpl = nullptr;
    view::DialogLayout layout;
    std::vector<NativeControl> controls;  // by template index
    std::vector<HWND> frames;             // group boxes, by block index (nullptr for free blocks)
    std::map<int, HWND> byId;             // controls with an id
};

// Fonts of the controls, shared by every dialog of a view.
struct Fonts {
    HFONT normal = nullptr;
    HFONT fixed = nullptr;  // the log pane
};

// Creates every control of `tpl` (hidden ones without the visible style) as children of `parent`.
RenderedDialog CreateControls(const fw::DialogTemplate& tpl, HWND parent, HINSTANCE instance,
                              const Fonts& fonts);

// Places the controls in `area` of the parent's client area.
void Arrange(const RenderedDialog& dialog, const view::Rect& area, HFONT font);

// The client size that shows every control of the dialog.
view::Size NaturalClientSize(const RenderedDialog& dialog, HFONT font);

// Text width in pixels in `font`, for the geometry.
view::MeasureText Measurer(HFONT font);

// The icon of resource `id` at `size` pixels; a stock icon when the program has no such resource.
HICON LoadIconResource(HINSTANCE instance, int id, int size);

}  // namespace marlinq::win32
