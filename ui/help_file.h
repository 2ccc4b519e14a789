// Which file Help opens: the compiled help on Windows, the HTML manual elsewhere.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace marlinq {

enum class HelpLayout {
    // ".\help.chm" in the current directory, else "help.chm" beside the program.
    CompiledHelp,
    // "manual/index.html" beside the program, opened by the desktop's opener.
    HtmlManual,
};

// The layout of the system the program runs on (one source file per system).
HelpLayout ThisSystemHelpLayout();

// The files Help may open, most wanted first. programDir is the program's folder with its trailing
// separator; when it is empty (unknown) only the current-directory file of the layout remains.
std::vector<std::string> HelpFileCandidates(HelpLayout layout, const std::string& programDir);

// The first candidate that exists, as given; empty when none does.
std::string ChooseHelpFile(const std::vector<std::string>& candidates,
                           const std::function<bool(const std::string&)>& exists);

// True when path names a regular file (or a link to one).
bool HelpFileExists(const std::string& path);

}  // namespace marlinq
