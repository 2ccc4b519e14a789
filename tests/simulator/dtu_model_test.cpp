#include "simulator/dtu_model.h"

#include <gtest/gtest.h>

using sim::DtuModel;
using sim::ModelAction;

TEST(DtuModel, SetsAreReportedByTheirQueries) {
    DtuModel m;
    EXPECT_EQ(m.Handle("AT+CNMP=38").text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+CNMP?").text, "\r\n+CNMP: 38\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CGDCONT=1,\"IP\",\"internet.example\"").text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+CGDCONT?").text,
              "\r\n+CGDCONT: 1,\"IP\",\"internet.example\",\"0.0.0.0\",0,0\r\n\r\nOK\r\n");
    const std::string cfg = "9600,host,5000,UDP,1,reg,30,0X41,1,100,0,10,20,1,2,3,24";
    EXPECT_EQ(m.Handle("AT+DTUCFG=" + cfg).text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+DTUCFG?").text, "\r\n+DTUCFG: " + cfg + "\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+DTUMODE=2").text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+DTUMODE?").text, "\r\n+DTUMODE: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CGAUTH=1,1,\"pw\",\"user\"").text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+CGAUTH?").text, "\r\n+CGAUTH: 1,1,\"user\",\"pw\"\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CGAUTH=,,\"u2\",\"p2\"").text, DtuModel::Ok());  // user first in this form
    EXPECT_EQ(m.Value("CGAUTH"), "1,1,\"u2\",\"p2\"");
    EXPECT_EQ(m.Handle("AT+CGAUTH=1").text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+CGAUTH?").text, "\r\n+CGAUTH: 1,0\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+MODBUSCMD=2,010300000001").text, DtuModel::Ok());
    EXPECT_EQ(m.Handle("AT+MODBUSCMD?").text, "\r\n+MODBUSCMD: 2,010300000001\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+HOST=example.org:443").text, DtuModel::Ok());
    EXPECT_EQ(m.Value("HOST"), "example.org:443");
}

TEST(DtuModel, RefusesMalformedSetsAndUnknownCommands) {
    DtuModel m;
    EXPECT_EQ(m.Handle("AT+DTUCFG=1,2,3").text, DtuModel::Error());
    EXPECT_EQ(m.Handle("AT+CNMP=").text, DtuModel::Error());
    EXPECT_EQ(m.Handle("AT+DTUMODE=7").text, DtuModel::Error());
    EXPECT_EQ(m.Handle("AT+MULTISOCKCFG=4,x").text, DtuModel::Error());
    EXPECT_EQ(m.Handle("AT+CGDCONT=2,\"IP\",\"x\"").text, DtuModel::Error());
    EXPECT_EQ(m.Handle("AT+NOSUCH").text, DtuModel::Error());
    EXPECT_EQ(m.Handle("hello").text, DtuModel::Error());
    EXPECT_EQ(m.Value("CNMP"), "2");  // refused sets change nothing
}

TEST(DtuModel, VersionAndConsoleQueriesHaveTheirShapes) {
    DtuModel m;
    EXPECT_EQ(m.Handle("AT+CSUB").text, "\r\n+CSUB: V01B02\r\n+CSUB: 2026-06-01\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CIMI").text, "\r\n001010123456789\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+GMR").text.rfind("\r\n+GMR: ", 0), 0u);
    EXPECT_EQ(m.Handle("AT+VER").text.rfind("\r\n+VER: ", 0), 0u);
    EXPECT_EQ(m.Handle("AT+CSQ").text, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CPIN?").text, "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CPSI?").text.rfind("\r\n+CPSI: LTE,Online,", 0), 0u);
}

TEST(DtuModel, ResetAndAdbSwitchCarryActions) {
    DtuModel m;
    EXPECT_EQ(m.Handle("AT+CRESET").action, ModelAction::Reset);
    EXPECT_EQ(m.Handle("AT+CUSBADB?").text, "\r\n+CUSBADB: 0\r\n\r\nOK\r\n");
    const auto on = m.Handle("AT+CUSBADB=1");
    EXPECT_EQ(on.action, ModelAction::AdbOn);
    EXPECT_TRUE(m.AdbEnabled());
    EXPECT_EQ(m.Handle("AT+CUSBADB?").text, "\r\n+CUSBADB: 1\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Handle("AT+CUSBADB=0").action, ModelAction::AdbOff);
    EXPECT_EQ(m.Handle("AT+CUSBADB=5").text, DtuModel::Error());
}

TEST(DtuModel, StoreFaultReplacesOneDtuCfgField) {
    DtuModel m;
    m.SetValue(DtuModel::kDtuCfgStoreFault, "3=9999");
    EXPECT_EQ(m.Handle("AT+DTUCFG=9600,host,5000,UDP,1,reg,30,0X41,1,100,0,10,20,1,2,3,24").text,
              DtuModel::Ok());
    EXPECT_EQ(m.Value("DTUCFG"), "9600,host,9999,UDP,1,reg,30,0X41,1,100,0,10,20,1,2,3,24");
    m.SetValue(DtuModel::kDtuCfgStoreFault, "17=0");
    EXPECT_EQ(m.Handle("AT+DTUCFG=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,24").text, DtuModel::Ok());
    EXPECT_EQ(m.Value("DTUCFG"), "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,0");
}
