// POSIX desktops have no rich-edit library and no registry: nothing to prepare.
#include "platform/desktop_setup.h"

namespace platform {

void LoadRichEditSupport() {}

void SetRegistryKey(const std::string&) {}

}  // namespace platform
