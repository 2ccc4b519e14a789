// Debian's adb, run for the device list with no device attached.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "adb/adb_commands.h"
#include "adb/adb_output.h"
#include "adb/command_runner.h"
#include "fake_host.h"
#include "tests/support/fake_adb.h"
#include "tests/support/poll.h"

namespace adb {
namespace {

constexpr char kSystemAdb[] = "/usr/bin/adb";

bool ServerListens(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool listens = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return listens;
}

TEST(RealAdb, ListsNoDeviceWhenNoneIsAttached) {
    if (::access(kSystemAdb, X_OK) != 0) {
        GTEST_SKIP()
            << "Debian's adb is not installed (apt-get install adb); the real device list is not tried";
    }
    testsupport::FakeAdbDir dir("real");
    std::filesystem::remove(dir.AdbDir() / "adb");
    std::filesystem::create_symlink(kSystemAdb, dir.AdbDir() / "adb");
    // A server of its own on a port of its own, ended afterwards.
    const std::string port = std::to_string(15037 + ::getpid() % 2000);
    ::setenv("ANDROID_ADB_SERVER_PORT", port.c_str(), 1);
    testsupport::FakeAdbHost host(dir.AppDir());
    const auto commands = BuildAdbCommands(dir.AppDir(), "/tmp/a.xml");
    // The first call may only report that it starts the server (its first block); the next call,
    // once the server listens, lists the devices.
    const int serverPort = std::stoi(port);
    auto waitForServer = [&] { testsupport::PollUntil([&] { return ServerListens(serverPort); }); };
    std::vector<AdbOutcome> outcomes;
    std::vector<std::string> outputs;
    for (int i = 0; i < 3 && (outcomes.empty() || outcomes.back() != AdbOutcome::NoDevice); ++i) {
        if (i > 0) {
            waitForServer();
        }
        outputs.push_back(RunCommandLine(commands.devices, nullptr, host));
        outcomes.push_back(ClassifyAdbOutput(outputs.back(), AdbOutputKind::ListDevices));
    }
    // The server outlives the clients whose first block was read; end it so that nothing is left.
    waitForServer();
    platform::ChildCommand kill = commands.devices;
    kill.args = {"kill-server"};
    for (int i = 0; i < 50 && ServerListens(serverPort); ++i) {
        RunCommandLine(kill, nullptr, host);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_FALSE(ServerListens(serverPort)) << "the test's adb server was ended";
    ::unsetenv("ANDROID_ADB_SERVER_PORT");
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_NE(outcomes[i], AdbOutcome::DeviceListed) << outputs[i];
    }
    EXPECT_EQ(outcomes.back(), AdbOutcome::NoDevice) << outputs.back();
}

}  // namespace
}  // namespace adb
