// Where the virtual device files are looked for, and that a folder someone else can write to is
// never trusted: a device file planted there would make the tool talk to the planter's terminal.
// Each test works in a temporary folder of its own, named as XDG_RUNTIME_DIR or TMPDIR.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/virtual_devices.h"

namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void SetOrUnset(const char* name, const std::string& value) {
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
}

mode_t Mode(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class DeviceFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        m_savedRuntime = Env("XDG_RUNTIME_DIR");
        m_savedTemp = Env("TMPDIR");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = fs::temp_directory_path() /
                 ("marlinq-devdir-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", m_root.c_str(), 1);
    }
    void TearDown() override {
        SetOrUnset("XDG_RUNTIME_DIR", m_savedRuntime);
        SetOrUnset("TMPDIR", m_savedTemp);
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    // <TMPDIR>/marlinq-<uid>, the folder used when nothing is wrong, and its further names.
    fs::path Usual(int n = 0) const {
        const std::string name = "marlinq-" + std::to_string(::getuid());
        return m_root / (n == 0 ? name : name + "." + std::to_string(n));
    }

    // A device file in folder that announces an AT port on a node of the test's own.
    void Plant(const fs::path& folder) const {
        std::ofstream(m_root / "planted-tty") << "";
        std::ofstream(folder / "planted.device")
            << "path=" << (m_root / "planted-tty").string()
            << "\ncom=207\nfriendly=Planted AT Port (COM207)\nhwid=USB\\VID_1E0E&PID_9001&MI_00\n";
    }

    // The folder chosen, what was said on stderr, and whether the planted device was listed.
    struct Choice {
        std::string folder;
        std::string warning;
        bool plantedListed = false;
    };
    static Choice Choose() {
        Choice c;
        ::testing::internal::CaptureStderr();
        c.folder = platform::VirtualDeviceDirectory();
        for (const auto& dev : platform::ListVirtualDevices()) {
            c.plantedListed = c.plantedListed || dev.com == 207;
        }
        c.warning = ::testing::internal::GetCapturedStderr();
        return c;
    }

    fs::path m_root;
    std::string m_savedRuntime;
    std::string m_savedTemp;
};

}  // namespace

TEST_F(DeviceFolder, FollowsXdgRuntimeDirElseTmpdirAndMakesItsFoldersPrivate) {
    ::setenv("XDG_RUNTIME_DIR", (m_root / "run").c_str(), 1);
    fs::create_directories(m_root / "run");
    EXPECT_EQ(platform::VirtualDeviceDirectory(), (m_root / "run/marlinq/devices/").string());
    EXPECT_EQ(Mode(m_root / "run/marlinq"), 0700u);
    EXPECT_EQ(Mode(m_root / "run/marlinq/devices"), 0700u);

    ::unsetenv("XDG_RUNTIME_DIR");
    const Choice c = Choose();
    EXPECT_EQ(c.folder, (Usual() / "devices/").string());
    EXPECT_EQ(c.warning, "");
    EXPECT_EQ(Mode(Usual()), 0700u);
    EXPECT_EQ(Mode(Usual() / "devices"), 0700u);
    // A folder of ours that only we can write to is used as it is.
    Plant(Usual() / "devices");
    ::chmod(Usual().c_str(), 0755);
    EXPECT_TRUE(Choose().plantedListed);
}

TEST_F(DeviceFolder, AFolderOthersCanWriteToOrALinkIsRefusedWithAWarningAndTheNextNameIsUsed) {
    const struct {
        const char* what;
        void (*plant)(const fs::path& usual, const fs::path& elsewhere);
        std::string refused;  // relative to the usual folder
        const char* why;
    } cases[] = {
        {"world-writable folder",
         [](const fs::path& usual, const fs::path&) {
             fs::create_directories(usual / "devices");
             ::chmod(usual.c_str(), 0777);
         },
         "", "others can write to it"},
        {"group-writable devices",
         [](const fs::path& usual, const fs::path&) {
             fs::create_directories(usual / "devices");
             ::chmod(usual.c_str(), 0700);
             ::chmod((usual / "devices").c_str(), 0770);
         },
         "/devices", "others can write to it"},
        {"link to a private folder",
         [](const fs::path& usual, const fs::path& elsewhere) {
             fs::create_directories(elsewhere / "devices");
             ::chmod(elsewhere.c_str(), 0700);
             ::chmod((elsewhere / "devices").c_str(), 0700);
             fs::create_directory_symlink(elsewhere, usual);
         },
         "", "it is a symbolic link"},
        {"devices is a link",
         [](const fs::path& usual, const fs::path& elsewhere) {
             fs::create_directories(usual);
             fs::create_directories(elsewhere / "devices");
             ::chmod(usual.c_str(), 0700);
             fs::create_directory_symlink(elsewhere / "devices", usual / "devices");
         },
         "/devices", "it is a symbolic link"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Usual());
        fs::remove_all(Usual(1));
        fs::remove_all(m_root / "elsewhere");
        c.plant(Usual(), m_root / "elsewhere");
        Plant(fs::is_directory(Usual() / "devices") ? Usual() / "devices" : m_root / "elsewhere/devices");
        const Choice choice = Choose();
        EXPECT_FALSE(choice.plantedListed);
        EXPECT_EQ(choice.folder, (Usual(1) / "devices/").string());
        EXPECT_EQ(choice.warning, "marlinq: not using the device folder " + Usual().string() + c.refused +
                                      ": " + c.why + "; using " + (Usual(1) / "devices/").string() +
                                      " instead\n");
        EXPECT_EQ(Mode(Usual(1)), 0700u);
    }
}

TEST_F(DeviceFolder, AFolderOfAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a folder to another user needs root";
    }
    fs::create_directories(Usual() / "devices");
    ::chmod(Usual().c_str(), 0700);
    ::chmod((Usual() / "devices").c_str(), 0700);
    Plant(Usual() / "devices");
    ASSERT_EQ(::chown(Usual().c_str(), 65534, 65534), 0);
    const Choice choice = Choose();
    EXPECT_FALSE(choice.plantedListed);
    EXPECT_EQ(choice.folder, (Usual(1) / "devices/").string());
    EXPECT_NE(choice.warning.find(Usual().string() + ": it belongs to user 65534"), std::string::npos)
        << choice.warning;
}

TEST_F(DeviceFolder, WhenEveryNameIsTakenAFreshPrivateFolderIsUsed) {
    for (int n = 0; n <= 9; ++n) {
        fs::create_directories(Usual(n));
        ::chmod(Usual(n).c_str(), 0777);
    }
    const Choice first = Choose();
    const std::string prefix = Usual().string() + "-";
    EXPECT_EQ(first.folder.rfind(prefix, 0), 0u) << first.folder;
    EXPECT_EQ(Mode(first.folder), 0700u);
    EXPECT_EQ(Mode(fs::path(first.folder).parent_path().parent_path()), 0700u);
    EXPECT_NE(first.warning.find(Usual(9).string() + ": others can write to it"), std::string::npos)
        << first.warning;
    // The same folder for the rest of the process, so that its devices stay found.
    EXPECT_EQ(Choose().folder, first.folder);
}
