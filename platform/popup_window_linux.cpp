#include "platform/popup_window.h"

namespace platform {

// The desktop shows no system pop-ups of that kind; there is nothing to close.
bool HasSystemPopups() {
    return false;
}

bool CloseTopLevelWindow(const std::string&) {
    return false;
}

}  // namespace platform
