// Test entry point shared by every test program.
//
// Each test process gets its own runtime directory, so the virtual devices that its simulators
// register are invisible to other test processes running at the same time. Each test gets a
// program directory of its own, so the files the tool keeps beside itself ("Config.xml" loaded at
// start and written at exit, the traffic log) never pass from one test to the next.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/app_directory.h"
#include "platform/environment.h"

namespace {

class FreshProgramDirectory : public ::testing::EmptyTestEventListener {
  public:
    explicit FreshProgramDirectory(std::filesystem::path root) : m_root(std::move(root)) {}
    void OnTestStart(const ::testing::TestInfo&) override {
        const auto dir = m_root / ("program-" + std::to_string(++m_count));
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        platform::SetAppDirectoryOverride(dir.string() + "/");
    }
    void OnTestEnd(const ::testing::TestInfo&) override { platform::SetAppDirectoryOverride(""); }

  private:
    std::filesystem::path m_root;
    int m_count = 0;
};

// A new directory of its own under the temporary directory; empty path when none could be made.
std::filesystem::path MakeRunDirectory() {
    std::random_device random;
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto dir =
            std::filesystem::temp_directory_path(ec) / ("marlinq-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(dir, ec)) {
            return dir;
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::filesystem::path dir = MakeRunDirectory();
    if (!dir.empty()) {
        // Where virtual devices are announced: the runtime directory on Linux, the local
        // application data on Windows.
        platform::SetEnvironmentValue("XDG_RUNTIME_DIR", dir.string());
        platform::SetEnvironmentValue("LOCALAPPDATA", dir.string());
        ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProgramDirectory(dir));
    }
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return rc;
}
