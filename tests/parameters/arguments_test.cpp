#include <gtest/gtest.h>

#include "parameters/download_flow.h"
#include "parameters/extended_params.h"

namespace parameters {
namespace {

TEST(Credentials, TakenFromTheFirstTwoQuotedTexts) {
    const auto both = ParseCredentials("1,1,\"user\",\"pass\"");
    ASSERT_TRUE(both.has_value());
    EXPECT_EQ(both->first, "user");
    EXPECT_EQ(both->second, "pass");
    const auto empty = ParseCredentials("1,1,\"\",\"\"");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->first, "");
    EXPECT_FALSE(ParseCredentials("1,0").has_value());
    EXPECT_FALSE(ParseCredentials("1,1,\"user\",\"pass").has_value());  // three quotes
    const auto extra = ParseCredentials("\"a\",\"b\",\"c\"");
    ASSERT_TRUE(extra.has_value());
    EXPECT_EQ(extra->second, "b");
}

TEST(Credentials, BothSetFormsQuoteTheirFields) {
    EXPECT_EQ(AuthArgument("user", "pw"), "1,1,\"pw\",\"user\"");       // password first
    EXPECT_EQ(TelecomAuthArgument("user", "pw"), ",,\"user\",\"pw\"");  // user first
}

TEST(Topics, FirstAlwaysThenEachNonEmptyOne) {
    const std::string oneAndThree[4] = {"t1", "", "t3", ""};
    EXPECT_EQ(TopicArgument(oneAndThree), "t1,t3");
    const std::string none[4] = {"", "", "", ""};
    EXPECT_EQ(TopicArgument(none), "");
    const std::string onlyFour[4] = {"", "", "", "t4"};
    EXPECT_EQ(TopicArgument(onlyFour), ",t4");
}

}  // namespace
}  // namespace parameters
