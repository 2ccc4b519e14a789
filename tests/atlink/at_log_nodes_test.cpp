// The traffic log is written only when AtLog.ini is a regular file: a FIFO or a device in its
// place never blocks a transaction, costs its lines, and standard error says so once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "atlink/at_log.h"
#include "atlink/at_serial_port.h"
#include "tests/support/file_nodes.h"
#include "tests/support/sim_fixture.h"

namespace {

namespace fs = std::filesystem;

using AtLogNodes = testsupport::SimulatorTest;

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST_F(AtLogNodes, AFifoAsTheLogNeitherBlocksATransactionNorTakesItsLines) {
    const std::string log = (m_logDir / atlink::kAtLogFileName).string();
    ASSERT_TRUE(testsupport::MakeFifo(log));
    ::testing::internal::CaptureStderr();
    // In a child: appending to a FIFO nobody reads, opened the usual way, waits for ever.
    const int answered = testsupport::RunInChild([&] {
        atlink::CSerialPort port;
        std::string first;
        std::string second;
        const bool ok = port.RunCycle(Com(), atlink::AtCycle{"AT+CSQ\r\n"}, &first) &&
                        port.RunCycle(Com(), atlink::AtCycle{"AT+CPIN?\r\n"}, &second);
        return ok && first.find("+CSQ:") != std::string::npos && second.find("+CPIN:") != std::string::npos
                   ? 1
                   : 0;
    });
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answered, 1) << "-1: the transaction blocked";
    ASSERT_EQ(m_sim.Requests().size(), 2u);
    EXPECT_EQ(err, "the traffic log " + log + " cannot be written: it is a FIFO, not a regular file\n");
    EXPECT_EQ(testsupport::TypeAt(log), S_IFIFO);
    // With a reader, nothing reaches it either.
    const int reader = ::open(log.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::FILE* stream = nullptr;
    ::testing::internal::CaptureStderr();
    atlink::AppendAtLogLine(log, "AT+CSQ\r\n", false, &stream);
    atlink::AppendAtLogLine(log, "OK\r\n", true, &stream);
    EXPECT_EQ(CountOf(::testing::internal::GetCapturedStderr(), "cannot be written"), 1u);
    EXPECT_EQ(stream, nullptr);
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "a line reached the FIFO";
    ::close(reader);
}

TEST_F(AtLogNodes, ADeviceOrADirectoryAsTheLogIsRefusedAndSaidOncePerPath) {
    const std::string device = (m_logDir / "null").string();
    ASSERT_TRUE(testsupport::MakeCharDevice(device, testsupport::kNullMajor, testsupport::kNullMinor));
    const std::string folder = (m_logDir / "folder").string();
    fs::create_directories(folder);
    ::testing::internal::CaptureStderr();
    std::FILE* stream = nullptr;
    for (int i = 0; i < 3; ++i) {
        atlink::AppendAtLogLine(device, "AT\r\n", false, &stream);
        atlink::AppendAtLogLine(folder, "AT\r\n", false, &stream);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "the traffic log " + device +
                       " cannot be written: it is a character device, not a regular file\n" +
                       "the traffic log " + folder +
                       " cannot be written: it is a directory, not a regular file\n");
    EXPECT_EQ(testsupport::TypeAt(device), S_IFCHR);
    EXPECT_EQ(atlink::AtLogRefusal(device), "it is a character device, not a regular file");
    // A regular file, or none yet, is fine: lines go in, nothing is said.
    const std::string file = (m_logDir / "AtLog.ini").string();
    EXPECT_EQ(atlink::AtLogRefusal(file), "");
    ::testing::internal::CaptureStderr();
    atlink::AppendAtLogLine(file, "AT\r\n", false, &stream);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(CountOf(LogText(), "Send: AT"), 1u);
}

}  // namespace
