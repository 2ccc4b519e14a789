#include "layering.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>

namespace layering {

namespace {

namespace fs = std::filesystem;

// Each folder with the folders it may include from (itself always included).
const std::map<std::string, std::set<std::string>>& Allowed() {
    static const std::map<std::string, std::set<std::string>> allowed = [] {
        const std::set<std::string> base = {"platform"};
        const std::set<std::string> second = {"platform", "framework", "atlink"};
        std::map<std::string, std::set<std::string>> a;
        a["platform"] = {};
        a["framework"] = base;
        a["atlink"] = base;
        a["parameters"] = second;
        a["discovery"] = second;
        a["configfile"] = second;
        a["configfile"].insert("parameters");
        a["adb"] = second;
        a["adb"].insert({"parameters", "configfile"});
        a["ui"] = second;
        a["ui"].insert({"parameters", "discovery", "configfile", "adb"});
        for (const char* front : {"ui/qt", "ui/win32", "cli", "manual"}) {
            a[front] = a["ui"];
            a[front].insert("ui");
        }
        // The production records stand beside the module layers; the command line writes and lists them.
        a["records"] = base;
        a["cli"].insert("records");
        a["simulator"] = base;
        a["emmc"] = {};
        return a;
    }();
    return allowed;
}

// Folders that exist in the tree but are not checked; including them from a checked folder is
// always a violation.
const std::set<std::string>& Exempt() {
    static const std::set<std::string> exempt = {"tests", "bench", "fuzz"};
    return exempt;
}

}  // namespace

std::string FolderOf(const std::string& relativePath) {
    const auto slash = relativePath.find('/');
    if (slash == std::string::npos) {
        return {};
    }
    const std::string first = relativePath.substr(0, slash);
    if (first == "ui") {
        for (const char* sub : {"ui/qt/", "ui/win32/"}) {
            if (relativePath.rfind(sub, 0) == 0) {
                return std::string(sub, std::string(sub).size() - 1);
            }
        }
    }
    if (Allowed().count(first) != 0 || Exempt().count(first) != 0) {
        return first;
    }
    return {};
}

bool MayInclude(const std::string& from, const std::string& to) {
    if (from == to) {
        return true;
    }
    const auto it = Allowed().find(from);
    return it != Allowed().end() && it->second.count(to) != 0;
}

std::vector<fs::path> ProductSources(const fs::path& root) {
    std::vector<fs::path> files;
    for (const auto& [folder, _] : Allowed()) {
        std::error_code ec;
        if (!fs::is_directory(root / folder, ec)) {
            continue;
        }
        for (auto it = fs::recursive_directory_iterator(root / folder, ec); !ec && it != fs::end(it);
             it.increment(ec)) {
            const auto ext = it->path().extension();
            if (it->is_regular_file() && (ext == ".h" || ext == ".cpp" || ext == ".hpp" || ext == ".c")) {
                files.push_back(it->path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

std::vector<Violation> CheckTree(const fs::path& root) {
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<Violation> out;
    for (const auto& file : ProductSources(root)) {
        const std::string rel = fs::relative(file, root).generic_string();
        const std::string from = FolderOf(rel);
        if (from.empty() || Allowed().count(from) == 0) {
            continue;
        }
        std::ifstream in(file);
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch m;
            if (!std::regex_search(text, m, include)) {
                continue;
            }
            const std::string to = FolderOf(m[1].str());
            // A name without a known folder is the including file's neighbour or outside the tree.
            if (!to.empty() && !MayInclude(from, to)) {
                out.push_back({rel, line, m[1].str(), to});
            }
        }
    }
    return out;
}

std::vector<std::vector<std::string>> SharedBaseNames(const fs::path& root) {
    std::map<std::string, std::vector<std::string>> byName;
    for (const auto& file : ProductSources(root)) {
        byName[file.filename().string()].push_back(fs::relative(file, root).generic_string());
    }
    std::vector<std::vector<std::string>> out;
    for (auto& [name, paths] : byName) {
        if (paths.size() > 1) {
            out.push_back(std::move(paths));
        }
    }
    return out;
}

}  // namespace layering
