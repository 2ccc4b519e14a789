// The desktop opener gets the path as one untouched argument, whatever it contains.
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/desktop_open.h"
#include "tests/support/poll.h"

namespace {

namespace fs = std::filesystem;

TEST(DesktopOpen, PassesAwkwardPathsAsOneArgument) {
    const fs::path dir = fs::temp_directory_path() / ("marlinq-open-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path out = dir / "args";
    const fs::path opener = dir / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" << out.string() << ".tmp\"\nmv \""
                          << out.string() << ".tmp\" \"" << out.string() << "\"\n";
    fs::permissions(opener, fs::perms::owner_all);
    for (const std::string& path :
         {std::string("./help.chm"), std::string("a b/c 'q' \"d\"; $(touch x) `y` é.chm")}) {
        fs::remove(out);
        ASSERT_TRUE(platform::OpenWithDesktop(path, opener.string()));
        testsupport::PollUntil([&] { return fs::exists(out); });
        std::ifstream in(out);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1|" + path);
    }
    EXPECT_FALSE(fs::exists("x"));
    fs::remove_all(dir);
}

TEST(DesktopOpen, MissingOpenerIsNotAnError) {
    // The opener that cannot start fails in the detached child; nothing is shown.
    EXPECT_TRUE(platform::OpenWithDesktop("./help.chm", "/nonexistent/opener"));
}

}  // namespace
