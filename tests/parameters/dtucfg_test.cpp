#include <gtest/gtest.h>

#include <string>

#include "parameters/dtucfg_args.h"
#include "parameters/dtucfg_record.h"

namespace parameters {
namespace {

DtuCfgValues Typical() {
    DtuCfgValues v;
    v.baudRate = "115200";
    v.ipAddr = "203.0.113.7";
    v.port = "5000";
    v.sockType = "TCP";
    v.registerEnable = true;
    v.registerText = "REG";
    v.beatInterval = "60";
    v.beatText = "0A1B";
    v.beatHex = true;
    v.urcEnable = true;
    v.netReceive = "100";
    v.triggerTime = "50";
    v.triggerLength = "1024";
    v.cloudEnable = false;
    v.serverEnable = {true, false, false, false};
    v.resetTime = "5";
    return v;
}

TEST(BuildDtuCfgArgs, SeventeenFieldsInOrder) {
    EXPECT_EQ(BuildDtuCfgArgs(Typical()),
              "115200,203.0.113.7,5000,TCP,1,REG,60,0X0A1B,1,100,0,50,1024,0,0,0,60");
}

TEST(BuildDtuCfgArgs, ResetTimeIsSentAsMinutesTimesTwelve) {
    auto v = Typical();
    v.resetTime = "";
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[16], "0");
    v.resetTime = "12abc";
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[16], "144");
    v.resetTime = "99999999999";  // clamped, never wraps to a negative product
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[16], "25769803764");
}

TEST(BuildDtuCfgArgs, ServerAndModbusCounts) {
    auto v = Typical();
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[14], "0");  // server 1 alone
    v.serverEnable = {true, true, false, true};
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[14], "3");
    v.serverEnable = {true, true, false, false};
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[14], "2");
    v.modbusEnable = true;
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[15], "0");  // no Set box ticked
    v.modbusCmdEnable = {true, false, true, true, false};
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[15], "3");
    v.modbusEnable = false;
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[15], "0");  // Set boxes do not count
}

TEST(BuildDtuCfgArgs, BeatPrefixAndEmptySelections) {
    auto v = Typical();
    v.beatText = "0X0A1B";
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[7], "0X0A1B");
    v.beatText = "0x0A";  // lower-case x is no prefix
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[7], "0X0x0A");
    v.beatHex = false;
    v.beatText = "hello";
    EXPECT_EQ(SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value()[7], "hello");
    v.baudRate = "";
    v.sockType = "";
    const auto fields = SplitDtuCfgAnswer(BuildDtuCfgArgs(v)).value();
    EXPECT_EQ(fields[0], "");
    EXPECT_EQ(fields[3], "");
    EXPECT_EQ(fields[10], "0");
}

TEST(IsHexBeatText, Cases) {
    EXPECT_TRUE(IsHexBeatText(""));
    EXPECT_TRUE(IsHexBeatText("0X"));
    EXPECT_TRUE(IsHexBeatText("0A1B"));
    EXPECT_TRUE(IsHexBeatText("0X0A1B"));
    EXPECT_TRUE(IsHexBeatText("abCD"));
    EXPECT_FALSE(IsHexBeatText("ABC"));    // odd length
    EXPECT_FALSE(IsHexBeatText("0XABC"));  // odd length with the prefix
    EXPECT_FALSE(IsHexBeatText("0XGG"));
    EXPECT_FALSE(IsHexBeatText("0x0A"));  // lower-case x is not a prefix, and x is no hex digit
}

TEST(SplitDtuCfgAnswer, SixteenCommasAreNeeded) {
    EXPECT_FALSE(SplitDtuCfgAnswer("a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p").has_value());  // 15 commas
    const auto fields = SplitDtuCfgAnswer("a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,").value();
    EXPECT_EQ(fields[15], "p");
    EXPECT_EQ(fields[16], "");
    const auto rest = SplitDtuCfgAnswer("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19").value();
    EXPECT_EQ(rest[0], "1");
    EXPECT_EQ(rest[15], "16");
    EXPECT_EQ(rest[16], "17,18,19");
    EXPECT_FALSE(SplitDtuCfgAnswer("").has_value());
}

TEST(ReadDtuCfgAnswer, BeatHexSerialTypeAndRecord) {
    const auto r = ReadDtuCfgAnswer("115201,h.example,80,UDP,1,R,30,0X0A0B,1,10,0,500,1,1,0,0,780").value();
    EXPECT_TRUE(r.beatHex);
    EXPECT_EQ(r.fields[7], "0A0B");
    EXPECT_EQ(r.serialTypeIndex, 1);  // "0,500,1" across fields 11-13
    EXPECT_EQ(r.record.Get(RecordField::IPAddr), "h.example");
    EXPECT_EQ(r.record.Get(RecordField::SockType), "UDP");
    EXPECT_EQ(r.record.Get(RecordField::BeatText), "0A0B");
    EXPECT_EQ(r.record.Get(RecordField::UrcEnable), "1");
    EXPECT_EQ(r.record.Get(RecordField::NetReceive), "10");
    EXPECT_EQ(r.record.Get(RecordField::TriggerTime), "500");
    EXPECT_EQ(r.record.Get(RecordField::TriggerLength), "1");
    EXPECT_EQ(r.record.Get(RecordField::CloudEnable), "1");
    EXPECT_EQ(r.record.Get(RecordField::ResetTime), "780");
    const auto plain = ReadDtuCfgAnswer("9600,a,1,TCP,0,,60,ABC,0,,0,,,0,0,0,").value();
    EXPECT_FALSE(plain.beatHex);
    EXPECT_EQ(plain.record.Get(RecordField::BeatText), "ABC");
    EXPECT_EQ(plain.serialTypeIndex, -1);
}

TEST(ResetTimeMinutesText, DividesByTwelveTowardZero) {
    EXPECT_EQ(ResetTimeMinutesText("65"), "5");
    EXPECT_EQ(ResetTimeMinutesText("60"), "5");
    EXPECT_EQ(ResetTimeMinutesText(""), "0");
    EXPECT_EQ(ResetTimeMinutesText("-13"), "-1");
    EXPECT_EQ(ResetTimeMinutesText("x"), "0");
}

TEST(DtuCfgRecord, FieldsAreBoundedAtCharacterBoundaries) {
    DtuCfgRecord record;
    record.Set(RecordField::Port, "123456789");
    EXPECT_EQ(record.Get(RecordField::Port), "123456789");
    record.Set(RecordField::Port, "1234567890");
    EXPECT_EQ(record.Get(RecordField::Port), "123456789");
    record.Set(RecordField::RegisterEnable,
               "1\0"
               "2");  // a bounded copy stops at the NUL
    EXPECT_EQ(record.Get(RecordField::RegisterEnable), "1");
    // "12345678" then a two-byte character: byte 9 would be its lead, byte 10 its tail.
    record.Set(RecordField::Port, "12345678\xC3\xA9");
    EXPECT_EQ(record.Get(RecordField::Port), "12345678");
    // A three-byte character straddling the limit goes whole.
    record.Set(RecordField::Port, "1234567\xE4\xBD\xA0");
    EXPECT_EQ(record.Get(RecordField::Port), "1234567");
    record.Set(RecordField::Port, "123456\xE4\xBD\xA0");  // ends exactly at the limit: kept
    EXPECT_EQ(record.Get(RecordField::Port), "123456\xE4\xBD\xA0");
    EXPECT_EQ(CutToField(std::string(200, 'a'), 100).size(), 99u);
    EXPECT_EQ(CutToField("abc", 0), "");
}

}  // namespace
}  // namespace parameters
