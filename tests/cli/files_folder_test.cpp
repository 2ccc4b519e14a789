// Where a copy of marlinq-cli keeps its files, run as its own process from a program folder made
// here: beside itself when the folder is the user's own, in the user's data folder otherwise;
// the scratch container always in the current directory.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/run_process.h"

namespace {

namespace fs = std::filesystem;

class FilesFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("marlinq-files-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "app");
        fs::create_directories(m_root / "work");
        fs::copy_file(MARLINQ_CLI_PATH, m_root / "app" / "marlinq-cli");
        fs::copy_file(MARLINQ_DEFAULT_XML, m_root / "work" / "in.xml");
    }
    void TearDown() override {
        fs::permissions(m_root / "app", fs::perms::owner_all);
        fs::remove_all(m_root);
    }
    // Runs the copy in the folder work with XDG_DATA_HOME pointing into the test's folder.
    testsupport::ProcessResult Run(const std::string& args) {
        const std::string command = "cd '" + (m_root / "work").string() + "' && XDG_DATA_HOME='" +
                                    (m_root / "xdg").string() + "' exec '" +
                                    (m_root / "app" / "marlinq-cli").string() + "' " + args;
        testsupport::ChildProcess child("/bin/sh", {"-c", command});
        child.CloseInput();
        return child.Wait();
    }
    void MakeProgramFolderReadOnly() { ::chmod((m_root / "app").c_str(), 0555); }

    fs::path m_root;
};

TEST_F(FilesFolder, APortableCopyKeepsItsConfigBesideItself) {
    const auto version = Run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "marlinq-cli " MARLINQ_VERSION "\nFiles: " + (m_root / "app").string() + "/\n");

    const auto convert = Run("convert in.xml --out out.xml");
    ASSERT_EQ(convert.exitCode, 0) << convert.err;
    EXPECT_TRUE(fs::exists(m_root / "work" / "out.xml"));
    EXPECT_TRUE(fs::exists(m_root / "work" / "CompoundFile.cmp"));
    EXPECT_FALSE(fs::exists(m_root / "app" / "Config.xml")) << "only run saves it";
    const auto run = Run("run");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(m_root / "app" / "Config.xml"));
    EXPECT_FALSE(fs::exists(m_root / "xdg"));
}

TEST_F(FilesFolder, AReadOnlyProgramFolderSendsThemToAPrivateDataFolderMadeOnFirstUse) {
    MakeProgramFolderReadOnly();
    const std::string data = (m_root / "xdg" / "marlinq").string() + "/";
    const auto version = Run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.out.find("\nFiles: " + data + "\n"), std::string::npos) << version.out;
    EXPECT_FALSE(fs::exists(data)) << "naming the folder is no use of it";

    const auto convert = Run("convert in.xml --out out.xml");
    ASSERT_EQ(convert.exitCode, 0) << convert.err;
    const auto run = Run("run");  // the window, which saves Config.xml on exit
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(data + "Config.xml"));
    struct stat info {};
    ASSERT_EQ(::stat(data.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(fs::exists(m_root / "app" / "Config.xml"));
    EXPECT_TRUE(fs::exists(m_root / "work" / "CompoundFile.cmp")) << "the scratch container stays here";
    EXPECT_TRUE(fs::exists(m_root / "work" / "out.xml"));
}

TEST_F(FilesFolder, HelpAndVersionTakeNoFurtherArgument) {
    const auto help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: marlinq-cli ", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("  download [FILE]"), std::string::npos);
    EXPECT_NE(help.out.find("  --version "), std::string::npos);
    EXPECT_EQ(Run("--version extra").exitCode, 2);
    const auto extra = Run("--help extra");
    EXPECT_EQ(extra.exitCode, 2);
    EXPECT_EQ(extra.err, "marlinq-cli: --help takes no argument; see marlinq-cli --help\n");
}

}  // namespace
