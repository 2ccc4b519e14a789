#include <gtest/gtest.h>

#include "parameters/input_rules.h"

namespace parameters {
namespace {

TEST(InputRules, NetReceiveBoundaries) {
    for (const char* ok : {"", "0", "10", "1000", "500", "00"}) {
        EXPECT_TRUE(IsNetReceiveValid(ok)) << ok;
    }
    for (const char* bad : {"9", "1001", "00005", "-10", "1"}) {
        EXPECT_FALSE(IsNetReceiveValid(bad)) << bad;
    }
}

TEST(InputRules, TestedInOrderFirstFailureWins) {
    DtuCfgValues v;
    v.resetTime = "0";
    v.beatHex = true;
    v.beatText = "ABC";
    v.netReceive = "9";
    EXPECT_EQ(CheckInputRules(v), InputRule::ResetTimeZero);
    v.resetTime = "";  // empty passes R1
    EXPECT_EQ(CheckInputRules(v), InputRule::BeatHexInvalid);
    v.beatHex = false;  // any text passes without the hex flag
    EXPECT_EQ(CheckInputRules(v), InputRule::NetReceiveInvalid);
    v.netReceive = "10";
    EXPECT_EQ(CheckInputRules(v), InputRule::None);
    v.resetTime = "00";  // only exactly "0" fails R1
    EXPECT_EQ(CheckInputRules(v), InputRule::None);
}

TEST(InputRules, Messages) {
    EXPECT_EQ(InputRuleMessage(InputRule::ResetTimeZero, DownloadForm::Full),
              "ResetTime cannot be set to 0!");
    EXPECT_EQ(InputRuleMessage(InputRule::BeatHexInvalid, DownloadForm::CurrentPage),
              "The hex Beat are invalid!");
    EXPECT_EQ(InputRuleMessage(InputRule::NetReceiveInvalid, DownloadForm::Full),
              "Network receiving content is invalid!");
    EXPECT_EQ(InputRuleMessage(InputRule::NetReceiveInvalid, DownloadForm::CurrentPage),
              "网络侧接收缓存内容无效!");
}

}  // namespace
}  // namespace parameters
