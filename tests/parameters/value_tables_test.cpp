#include <gtest/gtest.h>

#include "parameters/parameter_ids.h"
#include "parameters/value_tables.h"

namespace parameters {
namespace {

TEST(ValueTables, ItemsInTableOrderWithTheirDefaults) {
    EXPECT_EQ(kBaudTable.items.size(), 13u);
    EXPECT_EQ(kBaudTable.TextAt(0), "300");
    EXPECT_EQ(kBaudTable.TextAt(12), "921600");
    EXPECT_EQ(kBaudTable.TextAt(kBaudTable.defaultIndex), "115200");
    EXPECT_EQ(kTypeTable.TextAt(kTypeTable.defaultIndex), "TCP");
    EXPECT_EQ(kTypeTable.IndexOf("HTTP(S)"), 3);
    EXPECT_EQ(kNetModeTable.TextAt(kNetModeTable.defaultIndex), "AUTO");
    EXPECT_EQ(kSimTable.defaultIndex, 1);
    EXPECT_EQ(kSerialTypeTable.TextAt(0), "232");
    EXPECT_EQ(kLogLevelTable.TextAt(kLogLevelTable.defaultIndex), "1");
    // The main window fills its combo boxes in this order.
    EXPECT_EQ(kValueTables[0]->id, marlinq::IDC_COMBO_BAUDRATE);
    EXPECT_EQ(kValueTables[5]->id, marlinq::IDC_COMBO_TYPE);
}

TEST(ValueTables, LookupIsExactAndCaseSensitive) {
    EXPECT_EQ(kBaudTable.IndexOf("115201"), -1);
    EXPECT_EQ(kBaudTable.IndexOf(" 115200"), -1);
    EXPECT_EQ(kTypeTable.IndexOf("udp"), -1);
    EXPECT_EQ(kTypeTable.IndexOf("UDP"), 1);
    EXPECT_EQ(kBaudTable.TextAt(-1), "");
    EXPECT_EQ(kBaudTable.TextAt(13), "");
}

TEST(ValueTables, TypeAndWorkingModeMapping) {
    EXPECT_EQ(DtuModeForTypeIndex(0), "0");
    EXPECT_EQ(DtuModeForTypeIndex(1), "0");  // UDP is a socket mode too
    EXPECT_EQ(DtuModeForTypeIndex(2), "2");
    EXPECT_EQ(DtuModeForTypeIndex(3), "1");
    EXPECT_EQ(DtuModeForTypeIndex(-1), "");
    EXPECT_EQ(TypeIndexForDtuMode(1), 3);
    EXPECT_EQ(TypeIndexForDtuMode(2), 2);
    EXPECT_EQ(TypeIndexForDtuMode(0), 0);
    EXPECT_EQ(TypeIndexForDtuMode(7), 0);
}

TEST(ValueTables, NetworkModeBothWays) {
    EXPECT_EQ(CnmpForNetModeIndex(0), "13");
    EXPECT_EQ(CnmpForNetModeIndex(1), "38");
    EXPECT_EQ(CnmpForNetModeIndex(2), "2");
    EXPECT_EQ(CnmpForNetModeIndex(-1), "");
    EXPECT_EQ(NetModeIndexForCnmp("2"), 2);
    EXPECT_EQ(NetModeIndexForCnmp("13"), 0);
    EXPECT_EQ(NetModeIndexForCnmp("38"), 1);
    EXPECT_EQ(NetModeIndexForCnmp("51"), -1);
    EXPECT_EQ(NetModeIndexForCnmp("2 "), -1);
    EXPECT_EQ(NetModeIndexForCnmp(""), -1);
}

TEST(ValueTables, SimTypeFromImsi) {
    EXPECT_EQ(SimIndexForImsi("460110123456789"), 0);
    EXPECT_EQ(SimIndexForImsi("460030123456789"), 0);
    EXPECT_EQ(SimIndexForImsi("460010123456789"), 1);
    EXPECT_EQ(SimIndexForImsi("46011"), 0);
    EXPECT_EQ(SimIndexForImsi("4601"), -1);
    EXPECT_EQ(SimIndexForImsi(""), -1);
}

TEST(ValueTables, SerialTypeFromAnswer) {
    EXPECT_EQ(SerialTypeIndexForAnswer("x,0,500,1,y"), 1);
    EXPECT_EQ(SerialTypeIndexForAnswer("x,0,500,0,y"), 0);
    EXPECT_EQ(SerialTypeIndexForAnswer("0,500,0,0,500,1"), 1);  // both: "485" wins
    EXPECT_EQ(SerialTypeIndexForAnswer("0,50,1"), -1);
}

}  // namespace
}  // namespace parameters
