// The bounds a value must keep before a command carries it, as the parameter table gives them.
#include <gtest/gtest.h>

#include <string>

#include "flow_fakes.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/sent_values.h"
#include "row_check.h"

namespace parameters {
namespace {

using namespace marlinq;
using test::MapControls;

std::string Fault(unsigned dialog, int id, const std::string& value) {
    return test::CheckRow(SentValueFault, dialog, id, value);
}

TEST(SentValues, PortsAreWholeNumbersFrom1To65535) {
    for (int id : {IDC_TCP_PORT1, IDC_TCP_PORT2, IDC_TCP_PORT3, IDC_TCP_PORT4}) {
        EXPECT_EQ(Fault(IDD_TCP_MODE, id, "1"), "");
        EXPECT_EQ(Fault(IDD_TCP_MODE, id, "65535"), "");
        EXPECT_EQ(Fault(IDD_TCP_MODE, id, ""), "") << "an empty port is sent as the empty field";
    }
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT1, "-1"), "Port must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT3, "0"), "ServerPort3 must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_MQTT_MODE, IDC_MQTT_PORT, "70000"), "PORT must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_HTTPS_MODE, IDC_HTTPS_PORT, "65536"),
              "HttpsServerPort must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT1, " 80"), "Port must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT1, "80x"), "Port must be a whole number from 1 to 65535!");
    // Leading zeros cannot pad a number beyond the digits of its largest value.
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT1, "08080"), "");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT1, "000080"), "Port must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_PORT1, std::string(100000, '9')),
              "Port must be a whole number from 1 to 65535!");
}

TEST(SentValues, OtherNumbersKeepTheRangesOfTheirLabelsAndFields) {
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_RESET_TIME, "-5"),
              "ResetTime must be a whole number from 1 to 83333333!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_RESET_TIME, "83333333"),
              "");  // x 12 fills the module's nine digits
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_RESET_TIME, "83333334"),
              "ResetTime must be a whole number from 1 to 83333333!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_BEAT_PERIOD, "600"), "");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_BEAT_PERIOD, "601"),
              "BeatInterval must be a whole number from 1 to 600!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_TRIGGER_TIME, "0"),
              "TriggerTime must be a whole number from 1 to 1000!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_TRIGGER_LENGTH, "0"), "");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_TRIGGER_LENGTH, "1461"),
              "TriggerLength must be a whole number from 0 to 1460!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_NET_RECEIVE, "12abc"),
              "NetReceive must be a whole number from 0 to 1000!");
    EXPECT_EQ(Fault(IDD_MQTT_MODE, IDC_MQTT_BEAT_PERIOD, "65536"),
              "HeartPeriod must be a whole number from 0 to 65535!");
    EXPECT_EQ(Fault(IDD_MODBUS_MODE, IDC_MODBUS_CYCLE, "0"),
              "ModbusCycle must be a whole number from 1 to 65535!");
    EXPECT_EQ(Fault(IDD_MODBUS_MODE, IDC_MODBUS_INTERVAL, "999999999999"),
              "ModbusInterval must be a whole number from 0 to 65535!");
}

TEST(SentValues, TextsKeepTheLengthTheModuleTakes) {
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, std::string(100, 'a')), "");
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, std::string(101, 'a')),
              "APN cannot be longer than 100 bytes!");
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, std::string(100 * 1024, 'a')),
              "APN cannot be longer than 100 bytes!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_ADDR1, std::string(49, 'a')), "");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_ADDR4, std::string(50, 'a')),
              "ServerAddr4 cannot be longer than 49 bytes!");
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_REGPACKET, std::string(100, 'a')),
              "RegisterText cannot be longer than 99 bytes!");
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN_PWD, std::string(128, 'a')),
              "Password cannot be longer than 127 bytes!");
    EXPECT_EQ(Fault(IDD_MQTT_MODE, IDC_MQTT_SUBTOPIC4, std::string(129, 'a')),
              "SUBTOPIC4 cannot be longer than 128 bytes!");
    EXPECT_EQ(Fault(IDD_HTTPS_MODE, IDC_HTTPS_ADDR, std::string(254, 'a')),
              "HttpsServerAddr cannot be longer than 253 bytes!");
    EXPECT_EQ(Fault(IDD_MODBUS_MODE, IDC_MODBUS_CMD5, std::string(513, 'A')),
              "ModbusCmd5 cannot be longer than 512 bytes!");
    // Bytes, not characters: two-byte UTF-8 letters count twice.
    std::string apn;
    for (int i = 0; i < 51; ++i) {
        apn += "\xC3\xA9";
    }
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, apn), "APN cannot be longer than 100 bytes!");
}

TEST(SentValues, NoQuoteAndNoControlCharacterInAnyTextThatIsSent) {
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN_USER, "u\",\"x"),
              "Username cannot contain a double quote!");
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, "inter\"net"), "APN cannot contain a double quote!");
    EXPECT_EQ(Fault(IDD_MODBUS_MODE, IDC_MODBUS_CMD1, "01\"03"), "ModbusCmd1 cannot contain a double quote!");
    EXPECT_EQ(Fault(IDD_MQTT_MODE, IDC_MQTT_PWD, "p\"w"), "Password cannot contain a double quote!");
    const std::string controls[] = {
        "a\x1b"
        "b",
        "a\x1a",
        "\x01",
        "a\tb",
        "a\x7f",
        std::string("a\0b", 3),
        "\x1f"};
    for (const std::string& bad : controls) {
        EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN_PWD, bad),
                  "Password cannot contain a control character!");
        EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_BEAT, bad), "BeatText cannot contain a control character!");
        EXPECT_EQ(Fault(IDD_HTTPS_MODE, IDC_HTTPS_ADDR, bad),
                  "HttpsServerAddr cannot contain a control character!");
    }
    EXPECT_EQ(Fault(IDD_MQTT_MODE, IDC_MQTT_SUBTOPIC2, "a\nAT+CRESET"),
              "SUBTOPIC2 cannot contain a line break!");
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, "inter\rnet"), "APN cannot contain a line break!");
    // Non-ASCII text is no control character.
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_REGPACKET, "\xE6\xB3\xA8\xE5\x86\x8C"), "");
}

TEST(SentValues, CommasOnlyWhereTheCommandJoinsFieldsByCommas) {
    EXPECT_EQ(Fault(IDD_TCP_MODE, IDC_TCP_REGPACKET, "A,B"), "RegisterText cannot contain a comma!");
    EXPECT_EQ(Fault(IDD_MQTT_MODE, IDC_MQTT_CLIENT_ID, "c,1"), "ClientId cannot contain a comma!");
    EXPECT_EQ(Fault(IDD_MODBUS_MODE, IDC_MODBUS_CMD1, "01,03"), "");  // the last field of its argument
    EXPECT_EQ(Fault(IDD_MARLINQ_DIALOG, IDC_EDIT_APN, "a,b"), "");    // inside quotes
}

TEST(SentValues, AComboWithoutSelectionCannotBeSentAndNamesItsList) {
    MapControls main;
    InitParameterControls(main);
    const ParameterRow& type = *FindParameter(IDD_MARLINQ_DIALOG, IDC_COMBO_TYPE);
    EXPECT_EQ(SelectionFault(type, 0), "");
    EXPECT_EQ(SelectionFault(type, -1), "SockType must be one of TCP, UDP, MQTT, HTTP(S)!");
    EXPECT_EQ(SelectionFault(*FindParameter(IDD_MARLINQ_DIALOG, IDC_COMBO_NETMODE), -1),
              "NetMode must be one of 2G, 4G, AUTO!");

    main.sel[IDC_COMBO_TYPE] = -1;
    const SentControl sent[] = {{&main, IDD_MARLINQ_DIALOG, IDC_EDIT_APN},
                                {&main, IDD_MARLINQ_DIALOG, IDC_COMBO_TYPE}};
    const auto refusal = FirstUnsendable(sent, false);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->id, IDC_COMBO_TYPE);
    EXPECT_EQ(refusal->controls, &main);
    EXPECT_EQ(refusal->message, "SockType must be one of TCP, UDP, MQTT, HTTP(S)!");
    main.sel[IDC_COMBO_TYPE] = 1;
    EXPECT_FALSE(FirstUnsendable(sent, false).has_value());
}

TEST(SentValues, ValuesAnInputRuleRejectsAreLeftToIt) {
    MapControls tcp;
    const SentControl sent[] = {{&tcp, IDD_TCP_MODE, IDC_TCP_RESET_TIME},
                                {&tcp, IDD_TCP_MODE, IDC_TCP_BEAT},
                                {&tcp, IDD_TCP_MODE, IDC_TCP_NET_RECEIVE}};
    tcp.text[IDC_TCP_RESET_TIME] = "0";    // R1
    tcp.text[IDC_TCP_BEAT] = "0X\x1b";     // R2 when the HEX box is ticked
    tcp.text[IDC_TCP_NET_RECEIVE] = "-5";  // R3
    EXPECT_FALSE(FirstUnsendable(sent, true).has_value());
    const auto beat = FirstUnsendable(sent, false);  // without HEX the text is sent as typed
    ASSERT_TRUE(beat.has_value());
    EXPECT_EQ(beat->message, "BeatText cannot contain a control character!");
    tcp.text[IDC_TCP_RESET_TIME] = "00";  // passes R1, but is no restart time
    EXPECT_EQ(FirstUnsendable(sent, true)->message, "ResetTime must be a whole number from 1 to 83333333!");
}

}  // namespace
}  // namespace parameters
