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

// The C and C++ sources of the checked folders under root (everything outside tests/, bench/ and
// fuzz/), sorted.
std::vector<std::filesystem::path> ProductSources(const std::filesystem::path& root);

// Every quoted include of every checked folder under root that reaches a folder it may not use.
std::vector<Violation> CheckTree(const std::filesystem::path& root);

// The product sources under root that share their file name with another, one group of paths
// (relative to root, sorted) per name, in name order.
std::vector<std::vector<std::string>> SharedBaseNames(const std::filesystem::path& root);

}  // namespace layering
