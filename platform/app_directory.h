// The directory of the running program, where the tool keeps its own files.
#pragma once

#include <string>

namespace platform {

// Directory of the running executable including its trailing separator ("/" or "\\");
// the empty text when the path cannot be determined or holds no separator.
std::string GetAppDirectory();

// Keeps everything up to and including the last separator of path; empty when there is none.
std::string DirectoryPart(const std::string& path, char separator);

}  // namespace platform
