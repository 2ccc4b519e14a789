// The choice of the file Help opens, for the compiled help of Windows and the HTML manual.
#include <gtest/gtest.h>

#include <set>

#include "ui/help_file.h"

namespace marlinq::test {
namespace {

std::function<bool(const std::string&)> Present(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) != 0; };
}

TEST(HelpFile, CompiledHelpPrefersTheCurrentDirectoryAndFallsBackToTheProgramFolder) {
    const std::string program = "C:\\Program Files\\Marlinq\\";
    const auto candidates = HelpFileCandidates(HelpLayout::CompiledHelp, program);
    ASSERT_EQ(candidates, (std::vector<std::string>{".\\help.chm", program + "help.chm"}));

    EXPECT_EQ(ChooseHelpFile(candidates, Present({".\\help.chm", program + "help.chm"})), ".\\help.chm");
    EXPECT_EQ(ChooseHelpFile(candidates, Present({program + "help.chm"})), program + "help.chm");
    EXPECT_EQ(ChooseHelpFile(candidates, Present({})), "");
}

TEST(HelpFile, CompiledHelpWithAnUnknownProgramFolderOffersOnlyTheCurrentDirectory) {
    EXPECT_EQ(HelpFileCandidates(HelpLayout::CompiledHelp, ""), (std::vector<std::string>{".\\help.chm"}));
}

TEST(HelpFile, HtmlManualIsTheIndexPageBesideTheProgram) {
    const std::string program = "/usr/lib/marlinq/";
    const auto candidates = HelpFileCandidates(HelpLayout::HtmlManual, program);
    ASSERT_EQ(candidates, (std::vector<std::string>{"/usr/lib/marlinq/manual/index.html"}));
    EXPECT_EQ(ChooseHelpFile(candidates, Present({"/usr/lib/marlinq/manual/index.html"})),
              "/usr/lib/marlinq/manual/index.html");
    // A help.chm lying in the current directory is no manual for this layout.
    EXPECT_EQ(ChooseHelpFile(candidates, Present({".\\help.chm", "help.chm"})), "");
    EXPECT_TRUE(HelpFileCandidates(HelpLayout::HtmlManual, "").empty());
}

}  // namespace
}  // namespace marlinq::test
