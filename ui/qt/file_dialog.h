// The platform's open and save dialogs for the file requests of the window thread.
#pragma once

#include <QStringList>
#include <string>

#include "framework/observer.h"

class QWidget;

namespace marlinq::qt {

// Qt name filters for a filter of description|pattern pairs: "description (globs)" per pair, the
// globs separated by blanks; "*.*" stands for every file.
QStringList NameFilters(const std::string& filter);

// Shows the dialog modally on the GUI thread; the chosen path, or the empty text when cancelled.
std::string AskFile(QWidget* parent, const fw::FileDialogRequest& request);

}  // namespace marlinq::qt
