// The AT command table walked against the simulator: every row goes on the wire as its request,
// with its pauses, to the port its rule picks, and succeeds as its success rule says; and a row
// defined here alone is a working command.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <type_traits>

#include "atlink/answer_text.h"
#include "atlink/at_client.h"
#include "atlink/at_commands.h"
#include "tests/atlink/client_fixture.h"

namespace {

using atlink::AtClient;
using atlink::AtExchange;
using atlink::AtOutcome;
using atlink::AtSuccess;
using atlink::PortRule;

using testsupport::RequestBytes;

// Arguments the simulator takes for the set rows; any other row gets "1".
std::string ArgumentFor(std::string_view request) {
    if (request == "AT+DTUCFG=") {
        return "9600,h,1,TCP,0,,60,0X41,0,0,0,10,20,0,0,0,24";
    }
    if (request == "AT+MULTISOCKCFG=") {
        return "1,a.example,80,TCP";
    }
    if (request == "AT+MODBUSCMD=") {
        return "2,010300";
    }
    if (request == "AT+CNMP=") {
        return "13";
    }
    if (request == "AT+CGAUTH=") {
        return "1,1,\"pw\",\"user\"";
    }
    return "1";
}

// A module (the fixture's simulator), a second device that is open by hand, and an AT client
// between them whose lookup finds the module unless told otherwise.
class CommandTable : public testsupport::AtClientOverSimulator {
  protected:
    void SetUp() override {
        AtClientOverSimulator::SetUp();
        sim::SimulatorOptions plain;
        plain.friendlyFormat = "Plain Serial Port (COM%d)";
        std::string error;
        ASSERT_TRUE(m_other.Start(plain, &error)) << error;
        Client();
    }
    void TearDown() override {
        m_client.reset();
        m_manual.ClosePort();
        m_other.Stop();
        AtClientOverSimulator::TearDown();
    }
    // Both devices sound again, back at once after a reset, with nothing on record.
    static sim::Behaviour Sound() {
        sim::Behaviour sound;
        sound.resetAbsentMs = 0;
        return sound;
    }
    void Fresh() {
        m_sim.SetBehaviour(Sound());
        m_other.SetBehaviour(Sound());
        // Mode 0 is the failure value of the mode query.
        m_sim.SetValue("DTUMODE", "1");
        m_other.SetValue("DTUMODE", "1");
        m_sim.ClearRequests();
        m_other.ClearRequests();
        m_lookups = 0;
        TakeLog();
    }

    sim::DtuSimulator m_other;
};

TEST_F(CommandTable, EveryRowGoesToThePortOfItsRuleWithItsRequestPausesAndSuccessRule) {
    atlink::ForEachAtCommand([&](const auto& row) {
        using T = std::decay_t<decltype(row.parse(std::string_view()))>;
        SCOPED_TRACE(std::string(row.request));
        const std::string argument = ArgumentFor(row.request);
        const std::string request = *atlink::RequestFor(row, argument);

        // No AT port found: the row's message, the failure value, nothing on any line.
        Fresh();
        m_found = 0;
        const atlink::AtResult<T> none = m_client->Run(row, argument);
        m_found = Com();
        EXPECT_FALSE(none.ok());
        EXPECT_TRUE(none.value == T{});
        EXPECT_EQ(none.report.outcome, AtOutcome::NoSuchPort);
        EXPECT_EQ(TakeLog(), std::vector<std::string>{row.notFound});
        EXPECT_TRUE(m_sim.Requests().empty());

        // A module that refuses everything: the failure value; three tries where the rule says so.
        Fresh();
        sim::Behaviour refusing = Sound();
        refusing.errorAll = true;
        m_sim.SetBehaviour(refusing);
        const atlink::AtResult<T> refused = m_client->Run(row, argument);
        EXPECT_FALSE(refused.ok());
        EXPECT_TRUE(refused.value == T{});
        const std::size_t tries = row.portRule == PortRule::FoundThreeTries ? 3 : 1;
        EXPECT_EQ(RequestBytes(m_sim), std::vector<std::string>(tries, request));

        // A port open by hand: only manual-or-found rows use it, and without a lookup.
        Fresh();
        ASSERT_TRUE(m_manual.OpenPort(m_other.Com()));
        m_autoPort = atlink::FALSE;
        std::vector<std::uint32_t> pauses;
        atlink::AtResult<T> answered;
        {
            platform::ScopedPauseObserver observer([&](std::uint32_t ms) { pauses.push_back(ms); });
            answered = m_client->Run(row, argument);
        }
        m_autoPort = atlink::TRUE;
        m_manual.ClosePort();
        const bool manual = row.portRule == PortRule::ManualOrFound;
        EXPECT_EQ(RequestBytes(manual ? m_other : m_sim), std::vector<std::string>{request});
        EXPECT_TRUE((manual ? m_sim : m_other).Requests().empty());
        EXPECT_EQ(m_lookups.load(), manual ? 0 : 1);
        EXPECT_TRUE(TakeLog().empty()) << "a command logs nothing of its own";

        // The pauses of its exchange, in order: a drain of 1 s first where the row drains.
        std::vector<std::uint32_t> expected{row.pauseBeforeMs, row.pauseAfterMs};
        if (row.exchange != AtExchange::Single) {
            expected.insert(expected.begin(), 1000);
        }
        EXPECT_EQ(pauses, expected);

        // The success rule read on the answer: every row has its value from a willing module,
        // except the ADB query of a module whose ADB is off.
        EXPECT_EQ(answered.report.outcome, AtOutcome::Answered);
        EXPECT_EQ(answered.ok(), row.success != AtSuccess::ReportsOn);
        EXPECT_EQ(answered.ok(), !(answered.value == T{}) || row.success == AtSuccess::ValuePresent);

        // A row whose answer always carries a value would fail on a bare "OK" anyway, so answer
        // pacing loses nothing when it takes such an "OK" for an earlier request's.
        if (row.valueInAnswer) {
            EXPECT_FALSE(atlink::PassesSuccess(row.success, row.parse("\r\nOK\r\n")));
            EXPECT_FALSE(atlink::PassesSuccess(row.success, row.parse(request + "\r\nOK\r\n")));
        }

        // An argument with a line break never reaches a port.
        if (row.TakesArgument()) {
            Fresh();
            EXPECT_FALSE(m_client->Run(row, "x\r\nAT+CRESET").ok());
            EXPECT_TRUE(m_sim.Requests().empty());
        }
    });
}

// A command the table does not hold: the signal quality, found port only, and the SIM state
// through the hand-opened port.
std::string ParseCsqForTest(std::string_view answer) {
    return atlink::CutValue(answer, "+CSQ: ", "\r\n", 20).value_or(std::string());
}
std::string ParseCpinForTest(std::string_view answer) {
    return atlink::CutValue(answer, "+CPIN: ", "\r\n", 20).value_or(std::string());
}
constexpr atlink::AtTextQuery kQueryCsq{
    .request = "AT+CSQ\r\n", .portRule = PortRule::FoundOnly, .parse = ParseCsqForTest};
constexpr atlink::AtTextQuery kQueryCpin{.request = "AT+CPIN?\r\n", .parse = ParseCpinForTest};

TEST_F(CommandTable, ANewRowAloneIsACommandWithItsPortRule) {
    Fresh();
    ASSERT_TRUE(m_manual.OpenPort(m_other.Com()));
    m_autoPort = atlink::FALSE;
    const atlink::AtResult<std::string> csq = m_client->Run(kQueryCsq);
    EXPECT_TRUE(csq.ok());
    EXPECT_EQ(csq.value, "23,99");
    EXPECT_EQ(csq.report.port, Com());
    EXPECT_EQ(RequestBytes(m_sim), std::vector<std::string>{"AT+CSQ\r\n"});
    const atlink::AtResult<std::string> cpin = m_client->Run(kQueryCpin);
    EXPECT_TRUE(cpin.ok());
    EXPECT_EQ(cpin.value, "READY");
    EXPECT_EQ(RequestBytes(m_other), std::vector<std::string>{"AT+CPIN?\r\n"});
    EXPECT_EQ(m_client->LastCommand().succeeded, true);
    m_autoPort = atlink::TRUE;
    m_manual.ClosePort();

    m_found = 0;
    EXPECT_FALSE(m_client->Run(kQueryCsq).ok());
    EXPECT_EQ(TakeLog(), std::vector<std::string>{atlink::kNoScanAtPort});
    EXPECT_EQ(m_client->LastCommand().report.outcome, AtOutcome::NoSuchPort);
}

}  // namespace
