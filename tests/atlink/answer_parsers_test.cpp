// Answer parsers, from answers as the module sends them.
#include "atlink/answer_parsers.h"

#include <gtest/gtest.h>

using namespace atlink;

namespace {

struct TextRow {
    const char* what;
    std::string answer;
    std::string expected;
};

void CheckRows(std::string (*parse)(std::string_view), const std::vector<TextRow>& rows) {
    for (const auto& row : rows) {
        EXPECT_EQ(parse(row.answer), row.expected) << row.what;
    }
}

}  // namespace

TEST(SetAnswer, SucceedsOnOkAnywhere) {
    EXPECT_TRUE(ParseSetAnswer("\r\nOK\r\n"));
    EXPECT_TRUE(ParseSetAnswer("AT+CNMP=2\r\r\nOK\r\n"));  // echoed
    EXPECT_TRUE(ParseSetAnswer("\r\n+URC: BOOKED\r\n"));
    EXPECT_FALSE(ParseSetAnswer("\r\nERROR\r\n"));
    EXPECT_FALSE(ParseSetAnswer("\r\n+CME ERROR: 4\r\n"));
    EXPECT_FALSE(ParseSetAnswer("\r\nok\r\n"));
    EXPECT_FALSE(ParseSetAnswer(""));
}

TEST(DtuModeAnswer, MapsOnlyOneAndTwo) {
    EXPECT_EQ(ParseDtuModeAnswer("\r\n+DTUMODE: 2\r\n\r\nOK\r\n"), 2);
    EXPECT_EQ(ParseDtuModeAnswer("AT+DTUMODE?\r\r\n+DTUMODE: 1\r\n\r\nOK\r\n"), 1);
    EXPECT_EQ(ParseDtuModeAnswer("\r\n+DTUMODE: 3\r\n\r\nOK\r\n"), 0);
    EXPECT_EQ(ParseDtuModeAnswer("\r\n+DTUMODE: 0\r\n\r\nOK\r\n"), 0);
    EXPECT_EQ(ParseDtuModeAnswer("\r\n+DTUMODE: x\r\n\r\nOK\r\n"), 0);
    EXPECT_EQ(ParseDtuModeAnswer("\r\nERROR\r\n"), 0);
    EXPECT_EQ(ParseDtuModeAnswer("\r\n+DTUMODE: 2"), 0);  // rest of the line not yet read
    // No error test first: a mode line beside an error still counts.
    EXPECT_EQ(ParseDtuModeAnswer("\r\n+DTUMODE: 2\r\nERROR\r\n"), 2);
}

TEST(CimiAnswer, IsTheLineAfterTheFirstLineEnd) {
    CheckRows(ParseCimiAnswer,
              {
                  {"plain", "\r\n001010123456789\r\n\r\nOK\r\n", "001010123456789"},
                  {"echo on", "AT+CIMI\r\r\n001010123456789\r\n\r\nOK\r\n", "001010123456789"},
                  {"echo with LF only", "AT+CIMI\r\n\r\n001010123456789\r\n", ""},
                  {"error", "\r\n+CME ERROR: 10\r\n", ""},
                  {"OK without the IMSI line", "\r\nOK\r\n", ""},
                  {"no line end", "001010123456789", ""},
                  {"one line end", "\r\n001010123456789", ""},
                  {"oversized", "\r\n" + std::string(100, '9') + "\r\n", std::string(59, '9')},
              });
}

TEST(TextQueryAnswers, CutTheValueAfterTheirPrefix) {
    CheckRows(ParseDtuCfgAnswer,
              {
                  {"plain", "\r\n+DTUCFG: 115200,h,5000,TCP\r\n\r\nOK\r\n", "115200,h,5000,TCP"},
                  {"echo on", "AT+DTUCFG?\r\r\n+DTUCFG: a,b\r\n\r\nOK\r\n", "a,b"},
                  {"unsolicited first", "\r\n+CREG: 1\r\n\r\n+DTUCFG: a,b\r\n\r\nOK\r\n", "a,b"},
                  {"error", "\r\n+DTUCFG: a,b\r\n\r\nERROR\r\n", ""},
                  {"missing prefix", "\r\nOK\r\n", ""},
                  {"split before line end", "\r\n+DTUCFG: 115200,h,50", ""},
              });
    CheckRows(ParseCnmpAnswer, {
                                   {"plain", "\r\n+CNMP: 38\r\n\r\nOK\r\n", "38"},
                                   {"cme error", "\r\n+CME ERROR: 3\r\n", ""},
                                   {"lower case prefix", "\r\n+cnmp: 38\r\n", ""},
                               });
    CheckRows(ParseAuthAnswer, {
                                   {"credentials", "\r\n+CGAUTH: 1,1,\"user\",\"pass\"\r\n\r\nOK\r\n",
                                    "1,1,\"user\",\"pass\""},
                                   {"none", "\r\n+CGAUTH: 1,0\r\n\r\nOK\r\n", "1,0"},
                               });
    CheckRows(ParseVerAnswer,
              {
                  {"plain", "\r\n+VER: DTU_APP_3.7.0\r\n\r\nOK\r\n", "DTU_APP_3.7.0"},
                  {"error", "\r\n+VER: X\r\nERROR\r\n", ""},
                  {"oversized", "+VER: " + std::string(80, 'v') + "\r\n", std::string(59, 'v')},
              });
    // GMR has no error test: a version beside an error text still counts.
    CheckRows(ParseGmrAnswer, {
                                  {"plain", "\r\n+GMR: MQ4G_FW_1.2.3\r\n\r\nOK\r\n", "MQ4G_FW_1.2.3"},
                                  {"with error", "\r\n+GMR: MQ4G_FW_1.2.3\r\n\r\nERROR\r\n", "MQ4G_FW_1.2.3"},
                                  {"missing", "\r\nERROR\r\n", ""},
                              });
}

TEST(ApnAnswer, TakesTheThirdFieldOfContextOne) {
    CheckRows(ParseApnAnswer,
              {
                  {"plain", "\r\n+CGDCONT: 1,\"IP\",\"cmnet\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n", "cmnet"},
                  {"empty apn", "\r\n+CGDCONT: 1,\"IP\",\"\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n", ""},
                  {"error", "\r\n+CGDCONT: 1,\"IP\",\"cmnet\",\"0.0.0.0\"\r\nERROR\r\n", ""},
                  {"only other contexts", "\r\n+CGDCONT: 2,\"IP\",\"ims\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n", ""},
                  {"context 1 not IP", "\r\n+CGDCONT: 1,\"IPV6\",\"x\",\"::\",0,0\r\n\r\nOK\r\n", ""},
                  {"no third comma", "\r\n+CGDCONT: 1,\"IP\",\"cmnet\"\r\n\r\nOK\r\n", ""},
                  {"inner quote kept", "+CGDCONT: 1,\"IP\",\"a\"b\",x", "a\"b"},
                  {"unquoted", "+CGDCONT: 1,\"IP\",plain,x", "plain"},
                  // Commas are counted from the start of the whole answer, so a comma in an
                  // earlier line shifts the fields.
                  {"comma before", "\r\n+CSQ: 23,99\r\n+CGDCONT: 1,\"IP\",\"cmnet\",\"0.0.0.0\"\r\n", "IP"},
              });
}

// A read whose value may be 0 or empty tells that value from an answer that holds none.
TEST(ValueOrNone, AModeOfZeroAndAnEmptyApnAreValuesAnErrorOrAMissingLineIsNone) {
    EXPECT_EQ(FindDtuModeValue("\r\n+DTUMODE: 0\r\n\r\nOK\r\n"), 0);
    EXPECT_EQ(FindDtuModeValue("\r\n+DTUMODE: 3\r\n\r\nOK\r\n"), 3);
    EXPECT_EQ(FindDtuModeValue("AT+DTUMODE?\r\r\n+DTUMODE: 1\r\n\r\nOK\r\n"), 1);
    EXPECT_EQ(FindDtuModeValue("\r\nERROR\r\n"), std::nullopt);
    EXPECT_EQ(FindDtuModeValue("\r\nOK\r\n"), std::nullopt);
    EXPECT_EQ(FindDtuModeValue(""), std::nullopt);
    EXPECT_EQ(FindDtuModeValue("\r\n+DTUMODE: 2"), std::nullopt);  // cut before its line end

    EXPECT_EQ(FindApnValue("\r\n+CGDCONT: 1,\"IP\",\"cmnet\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n"), "cmnet");
    EXPECT_EQ(FindApnValue("\r\n+CGDCONT: 1,\"IP\",\"\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n"), "");
    EXPECT_EQ(FindApnValue("\r\n+CGDCONT: 1,\"IP\",\"cmnet\",\"0.0.0.0\"\r\nERROR\r\n"), std::nullopt);
    EXPECT_EQ(FindApnValue("\r\nERROR\r\n"), std::nullopt);
    EXPECT_EQ(FindApnValue("\r\n+CGDCONT: 2,\"IP\",\"ims\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n"), std::nullopt);
    EXPECT_EQ(FindApnValue("\r\n+CGDCONT: 1,\"IP\",\"cmnet\"\r\n\r\nOK\r\n"), std::nullopt);
    EXPECT_EQ(FindApnValue(""), std::nullopt);
}

TEST(CsubAnswer, JoinsTwoLinesWithUnderscore) {
    CheckRows(ParseCsubAnswer,
              {
                  {"two lines", "\r\n+CSUB: V01B02\r\n+CSUB: 2026-06-01\r\n\r\nOK\r\n", "V01B02_2026-06-01"},
                  {"one line", "\r\n+CSUB: V01B02\r\n\r\nOK\r\n", "V01B02_"},
                  {"error", "\r\n+CSUB: V01B02\r\nERROR\r\n", ""},
                  {"missing", "\r\nOK\r\n", ""},
                  {"first incomplete", "\r\n+CSUB: V01", ""},
                  {"second incomplete", "\r\n+CSUB: V01B02\r\n+CSUB: 2026", "V01B02_"},
                  {"oversized", "+CSUB: " + std::string(150, 'a') + "\r\n+CSUB: b\r\n",
                   std::string(99, 'a') + "_b"},
              });
}

TEST(AdbAnswer, IsOnlyOneUpToTheCarriageReturn) {
    EXPECT_TRUE(ParseAdbAnswer("\r\n+CUSBADB: 1\r\n\r\nOK\r\n"));
    EXPECT_TRUE(ParseAdbAnswer("+CUSBADB: 1\r"));
    EXPECT_FALSE(ParseAdbAnswer("\r\n+CUSBADB: 0\r\n\r\nOK\r\n"));
    EXPECT_FALSE(ParseAdbAnswer("\r\n+CUSBADB: 1"));  // no CR yet
    EXPECT_FALSE(ParseAdbAnswer("\r\nERROR\r\n"));
    EXPECT_FALSE(ParseAdbAnswer("\r\n+CUSBADB: 11\r\n"));
}
