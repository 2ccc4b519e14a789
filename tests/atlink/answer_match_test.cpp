// Matching a read to its request, from texts as a module sends them, late answers of earlier
// requests and lines of other commands included.
#include "atlink/answer_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace atlink;

namespace {

struct MatchRow {
    const char* what;
    std::string request;
    std::string text;
    int owed;
    std::string answer;
    bool final;
    int owedLeft;
};

void CheckRows(const std::vector<MatchRow>& rows) {
    for (const auto& row : rows) {
        const MatchedAnswer m = MatchAnswer(row.request, row.text, row.owed);
        EXPECT_EQ(m.answer, row.answer) << row.what;
        EXPECT_EQ(m.final, row.final) << row.what;
        EXPECT_EQ(m.owedLeft, row.owedLeft) << row.what;
        // Nothing is lost: what is not the answer was taken out, or is stale input after it.
        EXPECT_LE(m.answer.size() + m.discarded.size(), row.text.size()) << row.what;
    }
}

const std::string kCsqAnswer = "\r\n+CSQ: 23,99\r\n\r\nOK\r\n";
const std::string kCpinAnswer = "\r\n+CPIN: READY\r\n\r\nOK\r\n";

}  // namespace

TEST(AnswerMatch, AnAnswerThatNamesAnotherCommandBelongsToAnEarlierRequest) {
    CheckRows({
        {"own answer", "AT+CPIN?\r\n", kCpinAnswer, 0, kCpinAnswer, true, 0},
        {"late answer, then the own one", "AT+CPIN?\r\n", kCsqAnswer + kCpinAnswer, 0, kCpinAnswer, true, 0},
        {"late answer alone", "AT+CPIN?\r\n", kCsqAnswer, 0, "", false, 0},
        {"late answer whose OK is still to come", "AT+CPIN?\r\n", "\r\n+CSQ: 23,99\r\n", 0, "", false, 0},
        {"late echoed answer", "AT+CPIN?\r\n", "AT+CSQ\r\r\n+CSQ: 23,99\r\n\r\nOK\r\n" + kCpinAnswer, 0,
         kCpinAnswer, true, 0},
        {"own echo", "AT+CNMP?\r\n", "AT+CNMP?\r\r\n+CNMP: 2\r\n\r\nOK\r\n", 0,
         "AT+CNMP?\r\r\n+CNMP: 2\r\n\r\nOK\r\n", true, 0},
        {"a longer name is another command", "AT+CSQ\r\n", "\r\n+CSQN: 1\r\n\r\nOK\r\n" + kCsqAnswer, 0,
         kCsqAnswer, true, 0},
        {"request in lower case", "at+cpin?\r\n", kCsqAnswer + kCpinAnswer, 0, kCpinAnswer, true, 0},
        {"late answer before a bare value", "AT+CIMI\r\n", kCsqAnswer + "\r\n001010123456789\r\n\r\nOK\r\n",
         0, "\r\n001010123456789\r\n\r\nOK\r\n", true, 0},
        {"late answer before an error", "AT+CPIN?\r\n", kCsqAnswer + "\r\n+CME ERROR: 10\r\n", 0,
         "\r\n+CME ERROR: 10\r\n", true, 0},
    });
}

TEST(AnswerMatch, LinesOfOtherCommandsAreTakenOutOfTheOwnAnswer) {
    CheckRows({
        {"unsolicited lines before the own ones", "AT+CSQ\r\n",
         "\r\n+URC: first\r\n\r\n+URC: second\r\n" + kCsqAnswer, 0, kCsqAnswer, true, 0},
        {"unsolicited line inside", "AT+CSQ\r\n", "\r\n+CSQ: 23,99\r\n\r\n+CREG: 1\r\n\r\nOK\r\n", 0,
         kCsqAnswer, true, 0},
        // Nothing in it names the request: it cannot be told from an earlier request's answer.
        {"unsolicited line before a set command's OK", "AT+HOST=x\r\n",
         "\r\n+NOTICE: BOOKED\r\n\r\nERROR\r\n", 0, "", false, 0},
        // A basic command names nothing, so no line is another command's.
        {"basic command", "ATI\r\n", "\r\n+MODEL: X\r\n\r\nOK\r\n", 0, "\r\n+MODEL: X\r\n\r\nOK\r\n", true,
         0},
    });
}

TEST(AnswerMatch, OwedAnswersAreTheFirstToCome) {
    CheckRows({
        {"late OK, then the own ERROR", "AT+MQTTCFG=a\r\n", "\r\nOK\r\n\r\nERROR\r\n", 1, "\r\nERROR\r\n",
         true, 0},
        {"late OK alone", "AT+MQTTCFG=a\r\n", "\r\nOK\r\n", 1, "", false, 0},
        {"two owed, one came", "AT+HOST=x\r\n", "\r\nOK\r\n", 2, "", false, 1},
        {"two owed, both came, then the own", "AT+HOST=x\r\n", "\r\nOK\r\n\r\nERROR\r\n\r\nOK\r\n", 2,
         "\r\nOK\r\n", true, 0},
        {"nothing came", "AT+HOST=x\r\n", "", 1, "", false, 1},
        // An answer that names the request is its own: the owed one will not come before it.
        {"own named answer settles what was owed", "AT+CNMP?\r\n", "\r\n+CNMP: 2\r\n\r\nOK\r\n", 3,
         "\r\n+CNMP: 2\r\n\r\nOK\r\n", true, 0},
        {"owed named answer, then the own", "AT+CNMP?\r\n", "\r\n+DTUCFG: 1\r\n\r\nOK\r\n\r\nOK\r\n", 1,
         "\r\nOK\r\n", true, 0},
    });
}

TEST(AnswerMatch, TheAnswerEndsAtItsFirstFinalResultCode) {
    CheckRows({
        {"OK then ERROR", "AT+HOST=x\r\n", "\r\nOK\r\n\r\nERROR\r\n", 0, "\r\nOK\r\n", true, 0},
        {"ERROR then OK", "AT+HOST=x\r\n", "\r\nERROR\r\n\r\nOK\r\n", 0, "\r\nERROR\r\n", true, 0},
        {"CMS error", "AT+HOST=x\r\n", "\r\n+CMS ERROR: 500\r\nOK\r\n", 0, "\r\n+CMS ERROR: 500\r\n", true,
         0},
        {"OK inside a word is no final result", "AT+HOST=x\r\n", "\r\nBOOKED\r\n\r\nERROR\r\n", 0,
         "\r\nBOOKED\r\n\r\nERROR\r\n", true, 0},
        {"value not yet complete", "AT+DTUCFG?\r\n", "\r\n+DTUCFG: 1,2", 0, "\r\n+DTUCFG: 1,2", false, 0},
        {"final result without its line end", "AT+HOST=x\r\n", "\r\nOK", 0, "\r\nOK", true, 0},
        {"half a final result", "AT+HOST=x\r\n", "\r\nO", 0, "\r\nO", false, 0},
    });
    EXPECT_TRUE(MatchAnswer("AT+CSQ\r\n", kCsqAnswer, 0).lineEnded);
    EXPECT_FALSE(MatchAnswer("AT+CSQ\r\n", "\r\n+CSQ: 23,99\r\n\r\nOK", 0).lineEnded);
}

TEST(AnswerMatch, CommandNamesAndFinalResultsAreReadFromLines) {
    EXPECT_EQ(RequestCommand("AT+CPIN?\r\n"), "+CPIN");
    EXPECT_EQ(RequestCommand("at+cgdcont=1,\"IP\",\"x\"\r\n"), "+CGDCONT");
    EXPECT_EQ(RequestCommand("AT^SYSINFO\r\n"), "^SYSINFO");
    EXPECT_EQ(RequestCommand("AT\r\n"), "");
    EXPECT_EQ(RequestCommand("ATI\r\n"), "");
    EXPECT_EQ(RequestCommand("+CSQ\r\n"), "");
    EXPECT_EQ(RequestCommand(""), "");
    EXPECT_EQ(LineCommand("+CSQ: 23,99\r\n"), "+CSQ");
    EXPECT_EQ(LineCommand("AT+CSQ\r\r\n"), "+CSQ");
    EXPECT_EQ(LineCommand("+CSQ 23,99"), "");  // no colon: no information line
    EXPECT_EQ(LineCommand("+: x"), "");
    EXPECT_EQ(LineCommand("+CME ERROR: 3"), "");
    EXPECT_EQ(LineCommand("001010123456789"), "");
    EXPECT_EQ(LineCommand(""), "");
    for (const char* final : {"OK", "ERROR", "+CME ERROR: 10", "+CMS ERROR: 500", "+CME ERROR:"}) {
        EXPECT_TRUE(IsFinalResultLine(final)) << final;
    }
    for (const char* other : {"ok", "OK ", "BOOKED", "ERRORS", "+CME: ERROR", "", "NO CARRIER"}) {
        EXPECT_FALSE(IsFinalResultLine(other)) << other;
    }
    EXPECT_EQ(CountFinalResults(kCsqAnswer + kCpinAnswer + "\r\n+CME ERROR: 3\r\n"), 3);
    EXPECT_EQ(CountFinalResults("\r\n+DATA: 0123\r\n+DATA: OK"), 0);
    EXPECT_EQ(CountFinalResults(""), 0);
}

TEST(AnswerMatch, ABareOkHoldsNothingButBlankLinesAndTheEcho) {
    EXPECT_TRUE(IsBareOk("AT+GMR\r\n", "\r\nOK\r\n"));
    EXPECT_TRUE(IsBareOk("AT+GMR\r\n", "AT+GMR\r\r\nOK\r\n"));
    EXPECT_TRUE(IsBareOk("AT+GMR\r\n", "OK"));
    EXPECT_FALSE(IsBareOk("AT+GMR\r\n", "\r\n+GMR: 1.2\r\nOK\r\n"));
    EXPECT_FALSE(IsBareOk("AT+CIMI\r\n", "\r\n001010123456789\r\n\r\nOK\r\n"));
    EXPECT_TRUE(IsBareOk("AT+GMR\r\n", "AT\r\r\nOK\r\n"));  // the probe's, echoed
    EXPECT_FALSE(IsBareOk("AT+GMR\r\n", "ATI\r\r\nOK\r\n"));
    EXPECT_FALSE(IsBareOk("AT+GMR\r\n", "\r\nERROR\r\n"));
    EXPECT_FALSE(IsBareOk("AT+GMR\r\n", "\r\n+CME ERROR: 10\r\n"));
    EXPECT_FALSE(IsBareOk("AT+GMR\r\n", ""));
}
