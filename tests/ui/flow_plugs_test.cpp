// What the main window hands to a flow: control access per dialog, the AT client, the log sink.
#include <gtest/gtest.h>

#include <thread>

#include "dialog_harness.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

TEST(FlowPlugs, EachDialogsControlsAreReachedByTheirOwnIds) {
    DialogHarness<> h;
    const auto texts = h.On([](CMarlinqDlg& d) {
        // 1045 is the Send button on the main window and the first server's address on the
        // TCP/UDP and MQTT pages.
        d.PageControls(MODE_PAGE_TCP).SetWindowText(IDC_TCP_ADDR1, "tcp.example");
        d.PageControls(MODE_PAGE_MQTT).SetWindowText(IDC_MQTT_ADDR, "mqtt.example");
        return std::vector<std::string>{
            d.MainControls().GetWindowText(IDC_BTN_SEND),
            d.PageControls(MODE_PAGE_TCP).GetWindowText(IDC_TCP_ADDR1),
            d.PageControls(MODE_PAGE_MQTT).GetWindowText(IDC_MQTT_ADDR),
            d.PageControls(MODE_PAGE_HTTPS).GetWindowText(IDC_HTTPS_PORT),
            d.MainControls().GetWindowText(IDC_COMBO_BAUDRATE),
        };
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"Send", "tcp.example", "mqtt.example", "443", "115200"}));
    EXPECT_EQ(h.PageDriver(MODE_PAGE_TCP).Text(IDC_TCP_ADDR1), "tcp.example");
    EXPECT_EQ(h.PageDriver(MODE_PAGE_MQTT).Text(IDC_MQTT_ADDR), "mqtt.example");
}

TEST(FlowPlugs, AWorkerWritesControlsAndLogsThroughTheWindowThread) {
    DialogHarness<> h;
    auto& dlg = h.Dialog();
    std::thread worker([&dlg] {
        auto log = [&dlg](const std::string& text) { dlg.AddLog(text); };
        log("from the worker");
        dlg.MainControls().SetWindowText(IDC_EDIT_APP_VERSION, "DTU_APP_3.7.0");
        dlg.MainControls().SelectItemText(IDC_COMBO_TYPE, "MQTT");
        dlg.PageControls(MODE_PAGE_HTTPS).SetWindowText(IDC_HTTPS_ADDR, "https.example");
    });
    worker.join();
    auto d = h.Driver();
    EXPECT_EQ(d.Text(IDC_EDIT_APP_VERSION), "DTU_APP_3.7.0");
    EXPECT_EQ(d.CurSel(IDC_COMBO_TYPE), 2);
    EXPECT_EQ(h.PageDriver(MODE_PAGE_HTTPS).Text(IDC_HTTPS_ADDR), "https.example");
    EXPECT_EQ(CountLines(h.Log(), "from the worker"), 1);
}

TEST(FlowPlugs, TheAtClientReportsThroughTheLogPane) {
    DialogHarness<> h;
    EXPECT_EQ(h.On([](CMarlinqDlg& d) { return d.At().QueryApn(); }), "");
    EXPECT_EQ(CountLines(h.Log(), "No scan AT port! "), 1);
}

}  // namespace
}  // namespace marlinq::test
