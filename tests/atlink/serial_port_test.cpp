// CSerialPort against the simulator on a real pseudo-terminal.
#include "atlink/serial_port.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/ioctl.h>

#include <cstring>

#include "tests/support/sim_fixture.h"

extern char** environ;

namespace {

using SerialPortTest = testsupport::SimulatorTest;

// Another process that holds COM n open until Release().
class PortHolder {
  public:
    explicit PortHolder(int com, const char* mode = "port") {
        int in[2];
        int out[2];
        if (pipe(in) != 0 || pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string number = std::to_string(com);
        char* argv[] = {const_cast<char*>(HOLD_PORT_EXE), const_cast<char*>(number.c_str()),
                        const_cast<char*>(mode), nullptr};
        if (posix_spawn(&m_pid, HOLD_PORT_EXE, &actions, nullptr, argv, environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        m_stdin = in[1];
        char line[16] = {};
        const ssize_t n = read(out[0], line, sizeof line - 1);
        close(out[0]);
        m_state = n > 0 ? std::string(line, static_cast<std::size_t>(n)) : "";
    }
    ~PortHolder() { Release(); }
    bool Holds() const { return m_state == "open\n"; }
    void Release() {
        if (m_stdin >= 0) {
            close(m_stdin);
            m_stdin = -1;
        }
        if (m_pid > 0) {
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_pid = -1;
        }
    }

  private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    std::string m_state;
};

std::string ReadAll(CSerialPort& port, int reads) {
    std::string all;
    for (int i = 0; i < reads; ++i) {
        char buffer[CSerialPort::kReadLimit + 1] = {};
        DWORD count = 0;
        EXPECT_TRUE(port.ReadData(buffer, &count));
        EXPECT_LE(count, CSerialPort::kReadLimit);
        EXPECT_EQ(buffer[CSerialPort::kReadLimit], '\0');
        all.append(buffer, count);
        if (count == 0 && all.find("OK\r\n") != std::string::npos) {
            break;
        }
    }
    return all;
}

}  // namespace

TEST_F(SerialPortTest, ClosedObjectRefusesEverythingAndLogsNothing) {
    CSerialPort port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.WriteData("AT\r\n", 4));
    char buffer[CSerialPort::kReadLimit + 1] = {};
    DWORD count = 77;
    EXPECT_FALSE(port.ReadData(buffer, &count));
    EXPECT_EQ(count, 0u);
    port.ClosePort();  // harmless on a closed object
    EXPECT_FALSE(LogExists());
}

TEST_F(SerialPortTest, OpeningAMissingPortFailsAndLeavesTheObjectClosed) {
    CSerialPort port;
    EXPECT_FALSE(port.OpenPort(9999));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.OpenPort(0));
    EXPECT_FALSE(port.OpenPort(-3));
}

TEST_F(SerialPortTest, WritesExactBytesAndReadsTheAnswer) {
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    EXPECT_TRUE(port.WriteData("AT+CSQ\r\n", 8));
    ASSERT_TRUE(m_sim.WaitForRequests(1, 2000));
    EXPECT_EQ(m_sim.Requests()[0].bytes, "AT+CSQ\r\n");
    const std::string answer = ReadAll(port, 20);
    EXPECT_EQ(answer, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    port.ClosePort();
    EXPECT_FALSE(port.IsOpen());
    const std::string log = LogText();
    EXPECT_NE(log.find("Send: AT+CSQ\r\r\n\r\r\n"), std::string::npos);
    EXPECT_NE(log.find("Recv: "), std::string::npos);
}

TEST_F(SerialPortTest, ReadWithoutDataIsTrueWithCountZeroAndNoLogLine) {
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    char buffer[CSerialPort::kReadLimit + 1] = {};
    DWORD count = 5;
    EXPECT_TRUE(port.ReadData(buffer, &count));
    EXPECT_EQ(count, 0u);
    port.ClosePort();
    EXPECT_TRUE(!LogExists() || LogText().find("Recv:") == std::string::npos);
}

TEST_F(SerialPortTest, BytesPassUnchangedInBothDirections) {
    // Every byte value except the line ends travels as it is: no echo, no translation.
    std::string reply;
    for (int c = 1; c < 256; ++c) {
        if (c != '\r' && c != '\n') {
            reply.push_back(static_cast<char>(c));
        }
    }
    m_sim.SetReply("AT+RAW", reply + "\r\n");
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    port.WriteData("AT+RAW\r\n", 8);
    EXPECT_EQ(ReadAll(port, 20), reply + "\r\n");
    port.ClosePort();
}

TEST_F(SerialPortTest, LongAnswerArrivesInPiecesOfAtMost200Bytes) {
    const std::string big(450, 'x');
    m_sim.SetReply("AT+BIG", big + "\r\nOK\r\n");
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    port.WriteData("AT+BIG\r\n", 8);
    platform::Clock::Pause(300);
    std::string all;
    int pieces = 0;
    for (int i = 0; i < 50 && all.size() < big.size() + 6; ++i) {
        char buffer[CSerialPort::kReadLimit + 1] = {};
        DWORD count = 0;
        ASSERT_TRUE(port.ReadData(buffer, &count));
        ASSERT_LE(count, 200u);
        ASSERT_EQ(buffer[count], '\0');
        if (count > 0) {
            ++pieces;
        }
        all.append(buffer, count);
    }
    port.ClosePort();
    EXPECT_EQ(all, big + "\r\nOK\r\n");
    EXPECT_GE(pieces, 3);
}

TEST_F(SerialPortTest, PortHeldByAnotherObjectCannotBeOpened) {
    CSerialPort first;
    CSerialPort second;
    ASSERT_TRUE(first.OpenPort(Com()));
    EXPECT_FALSE(second.OpenPort(Com()));
    EXPECT_FALSE(second.IsOpen());
    first.ClosePort();
    EXPECT_TRUE(second.OpenPort(Com()));  // free again once closed
    second.ClosePort();
}

TEST_F(SerialPortTest, PortHeldByAnotherProcessCannotBeOpened) {
    PortHolder holder(Com());
    ASSERT_TRUE(holder.Holds());
    CSerialPort port;
    EXPECT_FALSE(port.OpenPort(Com()));
    holder.Release();
    EXPECT_TRUE(port.OpenPort(Com()));
    port.ClosePort();
}

TEST_F(SerialPortTest, PortClaimedByAnotherProgramIsBusyAndItsClaimSurvives) {
    // One program sets only the tty's exclusive flag (which does not stop root), another takes
    // only the advisory lock: either way the port is busy, told apart from a missing port.
    for (const char* mode : {"excl", "flock", "port"}) {
        SCOPED_TRACE(mode);
        PortHolder holder(Com(), mode);
        ASSERT_TRUE(holder.Holds());
        CSerialPort port;
        EXPECT_FALSE(port.OpenPort(Com()));
        EXPECT_EQ(port.LastOutcome().outcome, AtOutcome::Busy);
        port.ClosePort();
        EXPECT_EQ(port.SendAtCommand(Com(), "AT"), "");
        EXPECT_EQ(port.LastOutcome().outcome, AtOutcome::Busy);
        // Our refused open and close took nothing from the holder: its flag is still set.
        if (std::string(mode) == "excl") {
            const int fd = ::open(m_sim.PortPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            int exclusive = 0;
            if (fd >= 0) {
                EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
                ::close(fd);
            }
            EXPECT_EQ(exclusive, 1) << "the other program's exclusive claim was cleared";
        }
        holder.Release();
        ASSERT_TRUE(port.OpenPort(Com()));  // free again once the other program lets go
        port.ClosePort();
    }
    CSerialPort missing;
    EXPECT_FALSE(missing.OpenPort(9999));
    EXPECT_EQ(missing.LastOutcome().outcome, AtOutcome::NoSuchPort);
}

TEST_F(SerialPortTest, SecondProcessIsRefusedWhileWeHoldThePort) {
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    PortHolder holder(Com());
    EXPECT_FALSE(holder.Holds());
    port.ClosePort();
}
