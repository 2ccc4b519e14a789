#include "atlink/answer_text.h"

#include <gtest/gtest.h>

using atlink::CutValue;
using atlink::DecimalValue;

TEST(CutValue, TakesTextAfterPrefixUpToTerminator) {
    EXPECT_EQ(CutValue("\r\n+CNMP: 38\r\n\r\nOK\r\n", "+CNMP: ", "\r\n", 200), "38");
    EXPECT_EQ(CutValue("+VER: \r\nOK", "+VER: ", "\r\n", 60), "");
    EXPECT_FALSE(CutValue("\r\nOK\r\n", "+CNMP: ", "\r\n", 200).has_value());
}

TEST(CutValue, StaysWithinFieldAndReceivedText) {
    const std::string longValue(500, 'x');
    const auto cut = CutValue("+GMR: " + longValue + "\r\n", "+GMR: ", "\r\n", 60);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->size(), 59u);  // one byte of the field is the NUL

    // No terminator in this read: the value is incomplete and taken as empty.
    EXPECT_EQ(CutValue("+CNMP: 2", "+CNMP: ", "\r\n", 200), "");
    EXPECT_EQ(CutValue("+CNMP: 2\r", "+CNMP: ", "\r\n", 200), "");
    EXPECT_EQ(CutValue("+CNMP: ", "+CNMP: ", "\r\n", 200), "");
    EXPECT_EQ(CutValue("+X: abc", "+X: ", "\r\n", 1), "");
}

TEST(CutValue, SearchesFromAGivenPositionAndReportsTheEnd) {
    const std::string answer = "+CSUB: A1\r\n+CSUB: B2\r\n";
    std::size_t end = 0;
    ASSERT_EQ(CutValue(answer, "+CSUB: ", "\r\n", 100, 0, &end), "A1");
    EXPECT_EQ(CutValue(answer, "+CSUB: ", "\r\n", 100, end), "B2");
    EXPECT_FALSE(CutValue(answer, "+CSUB: ", "\r\n", 100, answer.size() + 5).has_value());
}

TEST(DecimalValue, BehavesLikeTheUsualConversion) {
    EXPECT_EQ(DecimalValue("2"), 2);
    EXPECT_EQ(DecimalValue("  -17abc"), -17);
    EXPECT_EQ(DecimalValue("+5"), 5);
    EXPECT_EQ(DecimalValue("abc"), 0);
    EXPECT_EQ(DecimalValue(""), 0);
    EXPECT_EQ(DecimalValue("99999999999999999999"), 2147483647);
    EXPECT_EQ(DecimalValue("-99999999999999999999"), -2147483647 - 1);
}
