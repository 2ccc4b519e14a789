// CSerialPort against the simulator on a real pseudo-terminal.
#include "atlink/at_serial_port.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstring>

#include "platform/tty_claim.h"
#include "tests/support/run_process.h"
#include "tests/support/sim_fixture.h"

namespace {

using SerialPortTest = testsupport::SimulatorTest;

// Another process that holds COM n open until Release().
class PortHolder {
  public:
    explicit PortHolder(int com, const char* mode = "port")
        : m_child(HOLD_PORT_EXE, {std::to_string(com), mode}) {
        // It prints one line, "open" or "failed", then waits for its input to end.
        m_child.ReadUntil("\n", 10000);
        m_holds = m_child.Output() == "open\n";
    }
    ~PortHolder() { Release(); }
    bool Holds() const { return m_holds; }
    void Release() {
        m_child.CloseInput();
        m_child.Wait();
    }

  private:
    testsupport::ChildProcess m_child;
    bool m_holds = false;
};

std::string ReadAll(atlink::CSerialPort& port, int reads) {
    std::string all;
    for (int i = 0; i < reads; ++i) {
        char buffer[atlink::CSerialPort::kReadLimit + 1] = {};
        atlink::DWORD count = 0;
        EXPECT_TRUE(port.ReadData(buffer, &count));
        EXPECT_LE(count, atlink::CSerialPort::kReadLimit);
        EXPECT_EQ(buffer[atlink::CSerialPort::kReadLimit], '\0');
        all.append(buffer, count);
        if (count == 0 && all.find("OK\r\n") != std::string::npos) {
            break;
        }
    }
    return all;
}

}  // namespace

TEST_F(SerialPortTest, ClosedObjectRefusesEverythingAndLogsNothing) {
    atlink::CSerialPort port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.WriteData("AT\r\n", 4));
    char buffer[atlink::CSerialPort::kReadLimit + 1] = {};
    atlink::DWORD count = 77;
    EXPECT_FALSE(port.ReadData(buffer, &count));
    EXPECT_EQ(count, 0u);
    port.ClosePort();  // harmless on a closed object
    EXPECT_FALSE(LogExists());
}

TEST_F(SerialPortTest, OpeningAMissingPortFailsAndLeavesTheObjectClosed) {
    atlink::CSerialPort port;
    EXPECT_FALSE(port.OpenPort(9999));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.OpenPort(0));
    EXPECT_FALSE(port.OpenPort(-3));
}

TEST_F(SerialPortTest, WritesExactBytesAndReadsTheAnswer) {
    atlink::CSerialPort port;
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
    atlink::CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    char buffer[atlink::CSerialPort::kReadLimit + 1] = {};
    atlink::DWORD count = 5;
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
    atlink::CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    port.WriteData("AT+RAW\r\n", 8);
    EXPECT_EQ(ReadAll(port, 20), reply + "\r\n");
    port.ClosePort();
}

TEST_F(SerialPortTest, LongAnswerArrivesInPiecesOfAtMost200Bytes) {
    const std::string big(450, 'x');
    m_sim.SetReply("AT+BIG", big + "\r\nOK\r\n");
    atlink::CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    port.WriteData("AT+BIG\r\n", 8);
    platform::Clock::Pause(300);
    std::string all;
    int pieces = 0;
    for (int i = 0; i < 50 && all.size() < big.size() + 6; ++i) {
        char buffer[atlink::CSerialPort::kReadLimit + 1] = {};
        atlink::DWORD count = 0;
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
    atlink::CSerialPort first;
    atlink::CSerialPort second;
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
    atlink::CSerialPort port;
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
        atlink::CSerialPort port;
        EXPECT_EQ(port.Open(Com()).outcome, atlink::AtOutcome::Busy);
        port.ClosePort();
        const atlink::AtResult<std::string> sent = port.Send(Com(), "AT");
        EXPECT_EQ(sent.value, "");
        EXPECT_EQ(sent.report.outcome, atlink::AtOutcome::Busy);
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
    atlink::CSerialPort missing;
    EXPECT_EQ(missing.Open(9999).outcome, atlink::AtOutcome::NoSuchPort);
}

TEST_F(SerialPortTest, APortHolderThatGoesAwayLetsThePortGo) {
    {
        atlink::CSerialPort forgotten;
        ASSERT_TRUE(forgotten.OpenPort(Com()));
    }  // gone without ClosePort
    atlink::CSerialPort next;
    EXPECT_EQ(next.Open(Com()).outcome, atlink::AtOutcome::Answered);
    next.ClosePort();
    PortHolder holder(Com());
    EXPECT_TRUE(holder.Holds()) << "another program finds the port free";
}

TEST_F(SerialPortTest, SecondProcessIsRefusedWhileWeHoldThePort) {
    atlink::CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    PortHolder holder(Com());
    EXPECT_FALSE(holder.Holds());
    port.ClosePort();
}

// The exclusive flag belongs to the terminal, and a pseudo-terminal stays open while its
// provider (here this process, through the simulator) runs: a program killed while it held the
// port leaves the flag set. Only root gets through the open to see it; CI runs as root.
class StaleClaimTest : public SerialPortTest {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "a flag left on the terminal refuses every open but root's";
        }
        SerialPortTest::SetUp();
    }
    bool ExclusiveFlagSet() const {
        const int fd = ::open(m_sim.PortPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        int exclusive = 0;
        if (fd >= 0) {
            ::ioctl(fd, TIOCGEXCL, &exclusive);
            ::close(fd);
        }
        return exclusive != 0;
    }
};

TEST_F(StaleClaimTest, AFlagLeftByAKilledProgramIsClearedAndNoted) {
    {
        testsupport::ChildProcess holder(HOLD_PORT_EXE, {std::to_string(Com()), "excl"});
        ASSERT_TRUE(holder.ReadUntil("open\n", 10000));
        ::kill(holder.Pid(), SIGKILL);  // no chance to clear its flag
        EXPECT_EQ(holder.Wait().signal, SIGKILL);
    }
    ASSERT_TRUE(ExclusiveFlagSet());
    atlink::CSerialPort port;
    const atlink::AtOutcome opened = port.Open(Com()).outcome;
    ASSERT_EQ(opened, atlink::AtOutcome::Answered) << "busy: " << (opened == atlink::AtOutcome::Busy);
    EXPECT_TRUE(port.RunSetCycle("AT+CNMP=2\r\n"));
    port.ClosePort();
    EXPECT_FALSE(ExclusiveFlagSet());
    EXPECT_NE(LogText().find("Note: COM" + std::to_string(Com()) + ": cleared the exclusive flag of " +
                             m_sim.PortPath() + ", which no live process held"),
              std::string::npos)
        << LogText();
}

TEST_F(StaleClaimTest, AFlagHeldByALiveProgramStaysRespected) {
    testsupport::ChildProcess holder(HOLD_PORT_EXE, {std::to_string(Com()), "excl"});
    ASSERT_TRUE(holder.ReadUntil("open\n", 10000));
    atlink::CSerialPort port;
    EXPECT_EQ(port.Open(Com()).outcome, atlink::AtOutcome::Busy);
    port.ClosePort();
    EXPECT_TRUE(ExclusiveFlagSet());
    EXPECT_EQ(LogText().find("Note: "), std::string::npos);
    // A live holder that only looks at the terminal through another name is a holder too.
    const std::string link = (m_logDir / "port-link").string();
    ASSERT_EQ(::symlink(m_sim.PortPath().c_str(), link.c_str()), 0);
    EXPECT_FALSE(platform::ExclusiveClaimIsStale(link));
    holder.CloseInput();
    EXPECT_EQ(holder.Wait().exitCode, 0);
    EXPECT_TRUE(port.OpenPort(Com()));
    port.ClosePort();
}

TEST_F(StaleClaimTest, OnlyAPseudoTerminalWithARunningProviderCanHoldAStaleClaim) {
    EXPECT_FALSE(platform::ExclusiveClaimIsStale((m_logDir / "no-such-node").string()));
    EXPECT_FALSE(platform::ExclusiveClaimIsStale(m_logDir.string()));  // not a device at all
    // A character device that is no pseudo-terminal, made here for the test.
    const std::string node = (m_logDir / "tty-like").string();
    ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0600, makedev(4, 64)), 0);
    EXPECT_FALSE(platform::ExclusiveClaimIsStale(node));
    // The simulator's own terminal, held by nobody but its provider.
    EXPECT_TRUE(platform::ExclusiveClaimIsStale(m_sim.PortPath()));
}
