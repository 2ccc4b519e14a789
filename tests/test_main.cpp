// Test entry point shared by every test program.
//
// Each test process gets its own runtime directory, so the virtual devices that its simulators
// register are invisible to other test processes running at the same time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string tmpl = (std::filesystem::temp_directory_path() / "marlinq-test-XXXXXX").string();
    if (char* dir = mkdtemp(tmpl.data())) {
        setenv("XDG_RUNTIME_DIR", dir, 1);
    }
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(tmpl, ec);
    return rc;
}
