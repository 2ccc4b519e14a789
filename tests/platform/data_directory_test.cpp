// Where the tool writes its files: beside the program in a folder of the user's own, else in the
// user's data folder. Every folder here is made by the test in a temporary directory.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/data_directory.h"
#include "platform/same_folder.h"
#include "platform/system_program_tree.h"

namespace {

namespace fs = std::filesystem;

// Sets one environment variable for the life of the object and puts the old value back after.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value == nullptr) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value, 1);
        }
    }
    ~ScopedVariable() {
        if (m_old) {
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

class DataDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("marlinq-datadir-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "app");
        m_app = (m_root / "app").string() + "/";
    }
    void TearDown() override {
        fs::permissions(m_root / "app", fs::perms::owner_all);
        fs::remove_all(m_root);
    }
    std::string Xdg() const { return (m_root / "xdg").string(); }
    static unsigned Mode(const fs::path& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

    fs::path m_root;
    std::string m_app;
};

TEST_F(DataDirectory, AFolderOfTheUsersOwnKeepsTheFilesBesideTheProgram) {
    const ScopedVariable xdg("XDG_DATA_HOME", Xdg().c_str());
    EXPECT_TRUE(platform::IsOwnWritableFolder(m_app));
    EXPECT_EQ(platform::ChooseDataDirectory(m_app), m_app);
    EXPECT_FALSE(fs::exists(Xdg())) << "choosing creates nothing";
}

TEST_F(DataDirectory, AFolderWithoutTheOwnersWriteBitSendsTheFilesToTheDataFolderEvenForRoot) {
    const ScopedVariable xdg("XDG_DATA_HOME", Xdg().c_str());
    fs::permissions(m_root / "app", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    EXPECT_FALSE(platform::IsOwnWritableFolder(m_app));
    EXPECT_EQ(platform::ChooseDataDirectory(m_app), Xdg() + "/marlinq/");
}

TEST_F(DataDirectory, AFolderOfAnotherUserIsNotTheUsersOwnThoughWritable) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    const ScopedVariable xdg("XDG_DATA_HOME", Xdg().c_str());
    ASSERT_EQ(::chown(m_app.c_str(), 65534, 65534), 0);
    ::chmod(m_app.c_str(), 0777);
    EXPECT_FALSE(platform::IsOwnWritableFolder(m_app));
    EXPECT_EQ(platform::ChooseDataDirectory(m_app), Xdg() + "/marlinq/");
}

TEST_F(DataDirectory, AMissingFolderOrAFileIsNotAProgramFolder) {
    EXPECT_FALSE(platform::IsOwnWritableFolder(m_app + "missing/"));
    const std::string file = m_app + "file";
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_FALSE(platform::IsOwnWritableFolder(file));
}

TEST_F(DataDirectory, TheDataFolderFollowsXdgDataHomeElseTheHomeFolder) {
    const std::string home = (m_root / "home").string();
    const ScopedVariable homeVar("HOME", home.c_str());
    {
        const ScopedVariable xdg("XDG_DATA_HOME", (Xdg() + "/").c_str());
        EXPECT_EQ(platform::UserDataFolder(), Xdg() + "/marlinq/");
    }
    {
        const ScopedVariable xdg("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(platform::UserDataFolder(), home + "/.local/share/marlinq/");
    }
    {
        // A relative value is not a valid base directory and is ignored.
        const ScopedVariable xdg("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(platform::UserDataFolder(), home + "/.local/share/marlinq/");
    }
    {
        const ScopedVariable xdg("XDG_DATA_HOME", "");
        EXPECT_EQ(platform::UserDataFolder(), home + "/.local/share/marlinq/");
    }
}

TEST_F(DataDirectory, CreatingTheDataFolderMakesItAndItsMissingParentsPrivate) {
    fs::create_directories(m_root / "existing");
    ::chmod((m_root / "existing").c_str(), 0755);
    const fs::path target = m_root / "existing" / "share" / "marlinq";
    ASSERT_TRUE(platform::CreatePrivateFolder(target.string() + "/"));
    EXPECT_EQ(Mode(target), 0700u);
    EXPECT_EQ(Mode(target.parent_path()), 0700u);
    EXPECT_EQ(Mode(m_root / "existing"), 0755u) << "an existing folder keeps its mode";
    EXPECT_TRUE(platform::CreatePrivateFolder(target.string() + "/")) << "a second call finds it there";
    const std::string blocked = m_app + "file";
    std::FILE* f = std::fopen(blocked.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_FALSE(platform::CreatePrivateFolder(blocked + "/marlinq/"));
}

TEST_F(DataDirectory, TheSameFolderIsRecognisedThroughALinkAndATrailingSlash) {
    fs::create_directories(m_root / "other");
    fs::create_directory_symlink(m_root / "app", m_root / "link");
    EXPECT_TRUE(platform::IsSameFolder(m_app, (m_root / "app").string()));
    EXPECT_TRUE(platform::IsSameFolder((m_root / "link").string(), m_app));
    EXPECT_FALSE(platform::IsSameFolder((m_root / "other").string(), m_app));
    EXPECT_FALSE(platform::IsSameFolder((m_root / "missing").string(), (m_root / "missing").string()));
}

TEST(SystemProgramTree, HoldsTheSharedProgramFoldersOnly) {
    for (const char* shared :
         {"/usr/lib/marlinq", "/usr/lib/marlinq/", "/usr", "/usr/local/bin", "/opt/marlinq", "/bin",
          "/sbin/x", "/lib/marlinq", "/lib64/x", "/lib32/x", "/libx32/x"}) {
        EXPECT_TRUE(platform::InSystemProgramTree(shared)) << shared;
    }
    for (const char* own : {"/home/op/marlinq", "/root/marlinq", "/tmp/usr/lib/marlinq", "/usrlocal/x",
                            "/library/x", "/srv/opt", "/", "", "usr/lib/marlinq"}) {
        EXPECT_FALSE(platform::InSystemProgramTree(own)) << own;
    }
}

}  // namespace
