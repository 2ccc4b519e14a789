// Help opens ./help.chm with the desktop's opener only when it exists; the tab sheet's limits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dialog_harness.h"
#include "ui/resource.h"
#include "ui/tab_sheet.h"

namespace marlinq::test {
namespace {

namespace fs = std::filesystem;

// Runs the test in a fresh current directory with an opener script that records its argument.
class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_old = fs::current_path();
        m_dir = fs::temp_directory_path() / ("marlinq-help-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
        m_opener = m_dir / "opener.sh";
        std::ofstream(m_opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" << (m_dir / "opened").string()
                                << "\"\n";
        fs::permissions(m_opener, fs::perms::owner_all);
    }
    void TearDown() override {
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }
    std::string Opened() {
        std::ifstream in(m_dir / "opened");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_old;
    fs::path m_dir;
    fs::path m_opener;
};

TEST_F(HelpTest, MissingHelpFileDoesNothing) {
    DialogHarness<> h;
    const std::string before = h.Log();
    h.On([this](CMarlinqDlg& d) {
        d.SetHelpOpener(m_opener.string());
        return 0;
    });
    h.Driver().Click(IDC_BTN_HELP);
    h.Driver().SysCommand(IDM_SYS_HELP);
    h.Driver().Sync();
    EXPECT_EQ(h.Log(), before) << "nothing is logged";
    // Once the file is there a press opens it: the opener has then run for that press alone.
    std::ofstream(m_dir / "help.chm") << "help";
    h.Driver().Click(IDC_BTN_HELP);
    ASSERT_TRUE(Eventually([&] { return !Opened().empty(); }));
    EXPECT_EQ(Opened(), "./help.chm\n");
}

TEST_F(HelpTest, HelpButtonAndMenuOpenTheFileOfTheCurrentDirectory) {
    std::ofstream(m_dir / "help.chm") << "help";
    DialogHarness<> h;
    h.On([this](CMarlinqDlg& d) {
        d.SetHelpOpener(m_opener.string());
        return 0;
    });
    h.Driver().Click(IDC_BTN_HELP);
    ASSERT_TRUE(Eventually([&] { return Opened() == "./help.chm\n"; })) << Opened();
    h.Driver().SysCommand(IDM_SYS_HELP);
    ASSERT_TRUE(Eventually([&] { return Opened() == "./help.chm\n./help.chm\n"; })) << Opened();
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
