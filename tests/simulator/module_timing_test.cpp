// dtusim's module timing options as a user gives them: --settle answers "ERROR" to a request that
// comes too soon after the last answer, --answer-delay holds every answer; bad values are refused.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <utility>
#include <vector>

#include "atlink/at_serial_port.h"
#include "discovery/at_port.h"
#include "tests/support/run_process.h"

namespace {

TEST(DtusimTiming, AValueOutOfRangeIsRefusedWithItsReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{"--settle", "60001"}, "dtusim: --settle needs a number of milliseconds from 0 to 60000\n"},
        {{"--settle", "-1"}, "dtusim: --settle needs a number of milliseconds from 0 to 60000\n"},
        {{"--settle"}, "dtusim: --settle needs a number of milliseconds from 0 to 60000\n"},
        {{"--answer-delay", "ten"},
         "dtusim: --answer-delay needs a number of milliseconds from 0 to 60000\n"},
        {{"--answer-delay", "99999999"},
         "dtusim: --answer-delay needs a number of milliseconds from 0 to 60000\n"},
    };
    for (const auto& [args, message] : wrong) {
        SCOPED_TRACE(args.front() + " " + (args.size() > 1 ? args[1] : ""));
        testsupport::ChildProcess dtusim(DTUSIM_EXE, args);
        const auto end = dtusim.Wait();
        EXPECT_EQ(end.exitCode, 2);
        EXPECT_EQ(end.err, message);
        EXPECT_EQ(end.out, "");
    }
    EXPECT_EQ(FindAtPortNumber(), 0);
}

TEST(DtusimTiming, ARequestTooSoonAfterTheLastAnswerIsAnsweredError) {
    testsupport::ChildProcess dtusim(DTUSIM_EXE, {"--com", "655", "--quiet", "--settle", "100"});
    ASSERT_TRUE(dtusim.ReadUntil("COM655 on", 10000)) << dtusim.Output();
    atlink::CSerialPort port;
    port.SetPacing(atlink::Pacing::Answer);
    std::string answer;
    ASSERT_TRUE(port.OpenPort(655));
    // Back to back: the second comes while the module still settles.
    EXPECT_TRUE(port.RunCycle(atlink::AtCycle{"AT\r\n"}, &answer));
    EXPECT_NE(answer.find("OK"), std::string::npos) << answer;
    EXPECT_TRUE(port.RunCycle(atlink::AtCycle{"AT\r\n"}, &answer));
    EXPECT_NE(answer.find("ERROR"), std::string::npos) << answer;
    // A request that waits the settle time first is taken.
    atlink::AtCycle settled{"AT\r\n"};
    settled.settleMs = 150;
    EXPECT_TRUE(port.RunCycle(settled, &answer));
    EXPECT_NE(answer.find("OK"), std::string::npos) << answer;
    port.ClosePort();
    ASSERT_EQ(::kill(dtusim.Pid(), SIGTERM), 0);
    EXPECT_EQ(dtusim.Wait().exitCode, 0);
}

TEST(DtusimTiming, AnAnswerHeldLongerThanTheFixedPauseFailsItAndIsWaitedForPacedByTheAnswer) {
    // At real time: the fixed read is over 320 ms after the write (its 300 ms pause and a read that
    // waits 20 ms for a first byte); the answer comes 80 ms after that.
    testsupport::ChildProcess dtusim(DTUSIM_EXE, {"--com", "656", "--quiet", "--answer-delay", "400"});
    ASSERT_TRUE(dtusim.ReadUntil("COM656 on", 10000)) << dtusim.Output();
    atlink::CSerialPort port;
    EXPECT_EQ(port.QueryVer(656), "");
    port.SetPacing(atlink::Pacing::Answer);
    EXPECT_NE(port.QueryVer(656), "");
    ASSERT_EQ(::kill(dtusim.Pid(), SIGTERM), 0);
    EXPECT_EQ(dtusim.Wait().exitCode, 0);
}

}  // namespace
