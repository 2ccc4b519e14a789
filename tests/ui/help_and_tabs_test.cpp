// Help opens the HTML manual beside the program with the desktop's opener, only when it exists;
// the tab sheet's limits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "dialog_harness.h"
#include "ui/resource.h"
#include "ui/tab_sheet.h"

namespace marlinq::test {
namespace {

namespace fs = std::filesystem;

// Runs the test in a fresh current directory, with a program folder of its own and an opener script
// that stands in for the desktop and records the path it is given.
class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        m_path = path != nullptr ? path : "";
        m_old = fs::current_path();
        m_dir = fs::temp_directory_path() / ("marlinq-help-" + std::to_string(::getpid()));
        m_program = m_dir / "program";
        fs::create_directories(m_program);
        fs::current_path(m_dir);
        m_opener = m_dir / "opener.sh";
        std::ofstream(m_opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" << (m_dir / "opened").string()
                                << "\"\n";
        fs::permissions(m_opener, fs::perms::owner_all);
    }
    void TearDown() override {
        ::setenv("PATH", m_path.c_str(), 1);
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }
    std::string Opened() {
        std::ifstream in(m_dir / "opened");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Plug(DialogHarness<>& h) {
        h.On([this](CMarlinqDlg& d) {
            d.SetHelpOpener(m_opener.string());
            d.SetHelpDirectory(m_program.string() + "/");
            return 0;
        });
    }
    std::string Manual() const { return (m_program / "manual" / "index.html").string(); }
    void WriteManual() {
        fs::create_directories(m_program / "manual");
        std::ofstream(Manual()) << "<html></html>";
    }

    std::string m_path;
    fs::path m_old;
    fs::path m_dir;
    fs::path m_program;
    fs::path m_opener;
};

TEST_F(HelpTest, WithoutTheManualHelpDoesNothingUntilItIsInstalled) {
    // A help.chm in the current directory is the Windows file; here it is not what Help opens.
    std::ofstream(m_dir / "help.chm") << "help";
    DialogHarness<> h;
    const std::string before = h.Log();
    Plug(h);
    h.Driver().Click(IDC_BTN_HELP);
    h.Driver().SysCommand(IDM_SYS_HELP);
    h.Driver().Sync();
    EXPECT_EQ(h.Log(), before) << "nothing is logged";
    // Once the manual is there a press opens it: the opener has then run for that press alone.
    WriteManual();
    h.Driver().Click(IDC_BTN_HELP);
    ASSERT_TRUE(Eventually([&] { return !Opened().empty(); }));
    EXPECT_EQ(Opened(), Manual() + "\n");
}

TEST_F(HelpTest, HelpButtonAndMenuOpenTheManualBesideTheProgramWithTheDesktopsOpener) {
    WriteManual();
    // The desktop's opener is found on PATH; a folder of the test's own comes first.
    const fs::path bin = m_dir / "bin";
    fs::create_directories(bin);
    fs::copy_file(m_opener, bin / "xdg-open");
    ::setenv("PATH", (bin.string() + ":" + m_path).c_str(), 1);
    DialogHarness<> h;
    h.On([this](CMarlinqDlg& d) {
        d.SetHelpDirectory(m_program.string() + "/");
        return 0;
    });
    h.Driver().Click(IDC_BTN_HELP);
    ASSERT_TRUE(Eventually([&] { return Opened() == Manual() + "\n"; })) << Opened();
    h.Driver().SysCommand(IDM_SYS_HELP);
    ASSERT_TRUE(Eventually([&] { return Opened() == Manual() + "\n" + Manual() + "\n"; })) << Opened();
}

TEST_F(HelpTest, AManualPathWithSpacesAndQuotesReachesTheOpenerAsOneArgument) {
    m_program = m_dir / "my \"tool\" $HOME";
    WriteManual();
    DialogHarness<> h;
    Plug(h);
    h.Driver().Click(IDC_BTN_HELP);
    ASSERT_TRUE(Eventually([&] { return !Opened().empty(); }));
    EXPECT_EQ(Opened(), Manual() + "\n");
}

TEST(TabSheet, AppendPageBeyondSixteenIsIgnored) {
    fw::CWindowThread thread(&Templates());
    fw::CDialog owner(IDD_MARLINQ_DIALOG, thread);
    std::vector<std::unique_ptr<fw::CDialog>> pages;
    CTabSheet sheet;
    static const char* titles[] = {"p0", "p1",  "p2",  "p3",  "p4",  "p5",  "p6",  "p7", "p8",
                                   "p9", "p10", "p11", "p12", "p13", "p14", "p15", "p16"};
    for (int i = 0; i < 17; ++i) {
        pages.push_back(std::make_unique<fw::CDialog>(IDD_HTTPS_MODE, &owner));
        const fw::BOOL recorded = sheet.AppendPage(pages.back().get(), IDD_HTTPS_MODE, titles[i]);
        EXPECT_EQ(recorded, i < 16 ? fw::TRUE : fw::FALSE) << i;
    }
    EXPECT_EQ(sheet.GetPageCount(), CTabSheet::MAX_TAB_PAGES);
    EXPECT_STREQ(sheet.m_pszTitles[15], "p15");
    EXPECT_EQ(sheet.m_pPages[15], pages[15].get());
    EXPECT_EQ(sheet.GetPage(16), nullptr);
}

TEST(TabSheet, CreatePagesWithoutPagesDoesNothing) {
    CTabSheet sheet;
    sheet.CreatePages();
    EXPECT_EQ(sheet.GetItemCount(), 0);
    EXPECT_EQ(sheet.GetCurPage(), 0);
}

}  // namespace
}  // namespace marlinq::test
