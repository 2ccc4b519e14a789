// Where the Windows programs write their files: beside the program in a folder the user may write
// outside Program Files, else in %LOCALAPPDATA%\Marlinq. The Program Files folder here is one the
// test makes and names in %ProgramFiles%, so nothing outside the test's own folder is touched.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/data_directory.h"
#include "platform/environment.h"
#include "platform/same_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(value, n);
}

class Win32DataDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("marlinq-datadir-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(m_root / "programs" / "Marlinq");
        fs::create_directories(m_root / "portable");
        m_oldProgramFiles = Variable("ProgramFiles");
        m_oldLocal = Variable("LOCALAPPDATA");
        platform::SetEnvironmentValue("ProgramFiles", (m_root / "programs").string());
        platform::SetEnvironmentValue("LOCALAPPDATA", (m_root / "local").string());
    }
    void TearDown() override {
        platform::SetEnvironmentValue("ProgramFiles", m_oldProgramFiles);
        platform::SetEnvironmentValue("LOCALAPPDATA", m_oldLocal);
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    std::string Dir(const fs::path& path) const { return path.string() + "\\"; }

    fs::path m_root;
    std::string m_oldProgramFiles;
    std::string m_oldLocal;
};

TEST_F(Win32DataDirectory, APortableFolderKeepsTheFilesBesideTheProgramAndLeavesNoProbeBehind) {
    const std::string portable = Dir(m_root / "portable");
    EXPECT_TRUE(platform::IsOwnWritableFolder(portable));
    EXPECT_EQ(platform::ChooseDataDirectory(portable), portable);
    EXPECT_TRUE(fs::is_empty(m_root / "portable"));
}

TEST_F(Win32DataDirectory, ProgramFilesSendsTheFilesToLocalAppDataThoughWritable) {
    const std::string installed = Dir(m_root / "programs" / "Marlinq");
    EXPECT_FALSE(platform::IsOwnWritableFolder(installed));
    const std::string data = Dir(m_root / "local" / "Marlinq");
    EXPECT_EQ(platform::UserDataFolder(), data);
    EXPECT_EQ(platform::ChooseDataDirectory(installed), data);
    EXPECT_FALSE(fs::exists(m_root / "local")) << "choosing creates nothing";
    ASSERT_TRUE(platform::CreatePrivateFolder(data));
    EXPECT_TRUE(fs::is_directory(m_root / "local" / "Marlinq"));
    EXPECT_FALSE(platform::IsOwnWritableFolder(Dir(m_root / "missing")));
}

TEST_F(Win32DataDirectory, TheSameFolderIsRecognisedWhateverItsCaseAndTrailingBackslash) {
    const std::string portable = (m_root / "portable").string();
    std::string upper = portable;
    for (char& c : upper) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    EXPECT_TRUE(platform::IsSameFolder(portable, portable + "\\"));
    EXPECT_TRUE(platform::IsSameFolder(upper, portable));
    EXPECT_FALSE(platform::IsSameFolder(portable, (m_root / "programs").string()));
    EXPECT_FALSE(platform::IsSameFolder(portable + "\\missing", portable + "\\missing"));
}

}  // namespace
