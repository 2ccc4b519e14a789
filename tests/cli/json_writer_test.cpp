#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

namespace marlinq::cli {
namespace {

TEST(JsonWriter, NestedObjectsAndArraysParseBackToWhatWasWritten) {
    JsonWriter w;
    w.BeginObject()
        .Field("command", "get")
        .Field("exit", 0)
        .Field("ok", true)
        .Key("failure")
        .Null()
        .Key("parameters")
        .BeginObject()
        .Field("tcp.Port", "6001")
        .Field("main.SimType", "非电信卡")
        .EndObject()
        .Key("differences")
        .BeginArray()
        .BeginObject()
        .Field("name", "tcp.Port")
        .Field("sent", "6001")
        .EndObject()
        .EndArray()
        .Key("none")
        .BeginArray()
        .EndArray()
        .Key("empty")
        .BeginObject()
        .EndObject()
        .Field("big", 9'000'000'000LL)
        .EndObject();
    const std::string text = w.Text();
    ASSERT_EQ(text.back(), '\n');
    const auto parsed = nlohmann::json::parse(text);
    EXPECT_EQ(parsed["command"], "get");
    EXPECT_EQ(parsed["exit"], 0);
    EXPECT_EQ(parsed["ok"], true);
    EXPECT_TRUE(parsed["failure"].is_null());
    EXPECT_EQ(parsed["parameters"]["tcp.Port"], "6001");
    EXPECT_EQ(parsed["parameters"]["main.SimType"], "非电信卡");
    EXPECT_EQ(parsed["differences"][0]["sent"], "6001");
    EXPECT_TRUE(parsed["none"].is_array() && parsed["none"].empty());
    EXPECT_TRUE(parsed["empty"].is_object() && parsed["empty"].empty());
    EXPECT_EQ(parsed["big"], 9'000'000'000LL);
    // Keys keep the order written.
    EXPECT_LT(text.find("\"command\""), text.find("\"parameters\""));
}

TEST(JsonWriter, EveryByteOfAStringSurvivesOrBecomesTheReplacementCharacter) {
    std::string all;
    for (int c = 1; c < 0x80; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(nlohmann::json::parse(JsonQuoted(all)).get<std::string>(), all);
    EXPECT_EQ(JsonQuoted("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
    EXPECT_EQ(nlohmann::json::parse(JsonQuoted(std::string("a\0b", 3))).get<std::string>(),
              std::string("a\0b", 3));

    const std::string replacement = "\xEF\xBF\xBD";
    // A GBK text, a lone continuation byte, a cut sequence, an overlong form, a surrogate and a
    // code point above U+10FFFF: each bad byte is one U+FFFD, the good text around stays.
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"\xB7\xC7", replacement + replacement},
        {"x\x80y", "x" + replacement + "y"},
        {"\xE4\xB8", replacement + replacement},
        {"\xC0\xAF", replacement + replacement},
        {"\xED\xA0\x80", replacement + replacement + replacement},
        {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},
        {"\xF0\x9F\x98\x80 ok", "\xF0\x9F\x98\x80 ok"},
    };
    for (const auto& c : cases) {
        const std::string quoted = JsonQuoted(c.in);
        EXPECT_EQ(nlohmann::json::parse(quoted).get<std::string>(), c.out) << quoted;
    }
}

}  // namespace
}  // namespace marlinq::cli
