// The layering rule of the source tree: each folder includes only from itself and the folders
// below it. tests/, bench/ and fuzz/ are exempt; emmc/ and simulator/ stand apart.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace layering {

struct Violation {
    std::string file;  // relative to the root
    int line = 0;
    std::string included;  // the quoted include
    std::string toFolder;  // the folder it reaches into
};

// The folder of a path relative to the root ("ui/qt", "atlink", ...); "" when it is none of the
// checked or known folders.
std::string FolderOf(const std::string& relativePath);

// Whether code in folder `from` may include from folder `to`.
bool MayInclude(const std::string& from, const std::string& to);

// Every quoted include of every checked folder under root that reaches a folder it may not use.
std::vector<Violation> CheckTree(const std::filesystem::path& root);

}  // namespace layering
