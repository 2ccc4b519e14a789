// Whether two paths name the same folder on disk, whatever links, case or separators they use.
#pragma once

#include <string>

namespace platform {

// True when both paths exist and name the same folder (the same device and file id); false when
// either cannot be opened.
bool IsSameFolder(const std::string& a, const std::string& b);

}  // namespace platform
