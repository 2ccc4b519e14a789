#include "platform/system_program_tree.h"

namespace platform {

bool InSystemProgramTree(const std::string& resolvedPath) {
    if (resolvedPath.empty() || resolvedPath[0] != '/') {
        return false;
    }
    const auto end = resolvedPath.find('/', 1);
    const std::string top = resolvedPath.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    return top == "usr" || top == "opt" || top == "bin" || top == "sbin" || top == "lib" || top == "lib32" ||
           top == "lib64" || top == "libx32";
}

}  // namespace platform
