#include <gtest/gtest.h>

#include "parameters/module_check.h"
#include "parameters/parameter_names.h"

namespace parameters {
namespace {

TEST(ModuleCheck, ReportsEachDifferingValueByName) {
    ModuleValues sent;
    sent.hasDtuCfg = true;
    sent.dtuCfg = "115200,a,5000,TCP,0,,60,0X31,0,,0,,,0,0,0,60";
    sent.hasNetwork = true;
    sent.cnmp = "38";
    sent.apn = "internet";
    sent.user = "u";
    sent.password = "p";
    ModuleValues reported = sent;
    EXPECT_TRUE(CompareWithModule(sent, reported).empty());
    reported.dtuCfg = "9600,a,5000,TCP,0,,60,0X31,0,,0,,,0,2,0,0";
    reported.cnmp = "2";
    reported.password = "";
    EXPECT_EQ(CompareWithModule(sent, reported),
              (std::vector<std::string>{
                  "BaudRate: sent 115200, module reports 9600", "ServerCount: sent 0, module reports 2",
                  "ResetTime: sent 60, module reports 0", "NetMode: sent 38, module reports 2",
                  "Password: sent p, module reports "}));
}

TEST(ModuleCheck, UnsentValuesAreNotComparedAndUnreadOnesCountAsEmpty) {
    ModuleValues sent;
    ModuleValues reported;
    reported.hasNetwork = true;
    reported.apn = "x";
    EXPECT_TRUE(CompareWithModule(sent, reported).empty());
    sent.hasDtuCfg = true;
    sent.dtuCfg = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17";
    EXPECT_EQ(CompareWithModule(sent, reported).size(), 17u);  // the module reported no list
    EXPECT_EQ(DtuCfgFieldName(8), "BeatText");
    EXPECT_EQ(DtuCfgFieldName(11), "DTUCFG field 11");
}

// The differences carry their parameter's row, so that the command line can name it by page;
// the counts the tool computes have none.
TEST(ModuleCheck, EachDifferenceKnowsTheParameterItBelongsTo) {
    ModuleValues sent;
    sent.hasDtuCfg = true;
    sent.dtuCfg = "115200,a,5000,TCP,0,,60,0X31,0,,0,,,0,0,0,60";
    sent.hasNetwork = true;
    sent.apn = "internet";
    ModuleValues reported = sent;
    reported.dtuCfg = "115200,a,9999,TCP,0,,60,0X31,0,,0,,,0,2,0,60";
    reported.apn = "other";
    const auto differences = ModuleDifferences(sent, reported);
    ASSERT_EQ(differences.size(), 3u);
    ASSERT_NE(differences[0].row, nullptr);
    EXPECT_EQ(ParameterName(*differences[0].row), "tcp.Port");
    EXPECT_EQ(differences[0].sent, "5000");
    EXPECT_EQ(differences[0].reported, "9999");
    EXPECT_EQ(differences[1].row, nullptr);
    EXPECT_EQ(differences[1].name, "ServerCount");
    ASSERT_NE(differences[2].row, nullptr);
    EXPECT_EQ(ParameterName(*differences[2].row), "main.APN");
}

}  // namespace
}  // namespace parameters
