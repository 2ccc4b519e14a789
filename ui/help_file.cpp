#include "ui/help_file.h"

#include <filesystem>
#include <system_error>

namespace marlinq {

std::vector<std::string> HelpFileCandidates(HelpLayout layout, const std::string& programDir) {
    std::vector<std::string> candidates;
    switch (layout) {
        case HelpLayout::CompiledHelp:
            // The current directory's file keeps its relative name, as the desktop is given it.
            candidates.push_back(".\\help.chm");
            if (!programDir.empty()) {
                candidates.push_back(programDir + "help.chm");
            }
            break;
        case HelpLayout::HtmlManual:
            if (!programDir.empty()) {
                candidates.push_back(programDir + "manual/index.html");
            }
            break;
    }
    return candidates;
}

std::string ChooseHelpFile(const std::vector<std::string>& candidates,
                           const std::function<bool(const std::string&)>& exists) {
    for (const std::string& candidate : candidates) {
        if (exists(candidate)) {
            return candidate;
        }
    }
    return {};
}

bool HelpFileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace marlinq
