// The shipped dialog templates are consistent: each is found by its id, control ids are unique
// within a template, groups exist, and the captions that the window shows are exact.
#include <gtest/gtest.h>

#include <set>

#include "ui/resource.h"
#include "ui/templates.h"

namespace marlinq::test {
namespace {

TEST(Templates, EachTemplateIsWellFormed) {
    for (unsigned id :
         {IDD_ABOUTBOX, IDD_MARLINQ_DIALOG, IDD_TCP_MODE, IDD_MQTT_MODE, IDD_MODBUS_MODE, IDD_HTTPS_MODE}) {
        const fw::DialogTemplate* t = Templates().FindTemplate(id);
        ASSERT_NE(t, nullptr) << id;
        EXPECT_EQ(t->id, id);
        std::set<int> ids;
        for (const auto& c : t->controls) {
            if (c.id != fw::IDC_STATIC) {
                EXPECT_TRUE(ids.insert(c.id).second) << "template " << id << " repeats control " << c.id;
            }
            EXPECT_LT(c.group, static_cast<int>(t->groups.size())) << id << "/" << c.id;
            const int column = c.group >= 0 ? t->groups[static_cast<size_t>(c.group)].column : c.column;
            EXPECT_LT(column, std::max(1, t->columns)) << id << "/" << c.id;
        }
    }
    EXPECT_EQ(Templates().FindTemplate(101), nullptr);
}

TEST(Templates, MainWindowHasItsColumnsAndCaptions) {
    const auto& t = MainDialogTemplate();
    EXPECT_EQ(t.caption, "Marlinq_Eng_V3.7");
    EXPECT_EQ(t.font, "Microsoft Sans Serif");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_TRUE(t.style & fw::kResizable);
    EXPECT_TRUE(t.style & fw::kMinMaxBox);
    std::vector<std::pair<std::string, int>> groups;
    for (const auto& g : t.groups) {
        if ((g.style & fw::kHidden) == 0) {
            groups.emplace_back(g.caption, g.column);
        }
    }
    EXPECT_EQ(groups, (std::vector<std::pair<std::string, int>>{{"Version", 0},
                                                                {"Basic Params", 0},
                                                                {"SimCard Params", 0},
                                                                {"Other Params", 0},
                                                                {"Operate", 0},
                                                                {"AT command", 1},
                                                                {"Log", 2}}));
    EXPECT_EQ(t.Find(IDC_BTN_SCAN_PORT)->caption, "Scan Port");
    EXPECT_EQ(t.Find(IDC_BTN_XML_SELECT)->caption, "XML文件选择");
    EXPECT_EQ(t.Find(IDC_COMBO_LOGLEVEL)->label, "LOG level：");
    EXPECT_EQ(t.Find(IDC_TAB_MODES)->column, 1);
    EXPECT_EQ(t.Find(IDC_BTN_EXIT)->column, 2);
    const auto& about = AboutTemplate();
    EXPECT_EQ(about.caption, "Marlinq");
    EXPECT_EQ(about.controls[1].caption, "Marlinq V3.7");
    EXPECT_EQ(about.controls[0].icon, IDR_MAINFRAME);
}

TEST(Templates, PagesCarryTheirHints) {
    const auto& tcp = TcpModeTemplate();
    EXPECT_EQ(tcp.Find(IDC_TCP_BEAT_PERIOD)->suffix, "(1-600 sec)");
    EXPECT_EQ(tcp.Find(IDC_TCP_TRIGGER_LENGTH)->suffix, "(0-1460ms)");
    EXPECT_TRUE(tcp.Find(IDC_TCP_TRIGGER_LENGTH)->suffixStyle & fw::kHidden);
    EXPECT_EQ(tcp.Find(IDC_TCP_RESET_TIME)->suffix, "mins");
    EXPECT_TRUE(tcp.Find(IDC_TCP_NET_RECEIVE)->style & fw::kDigitsOnly);
    EXPECT_EQ(ModbusModeTemplate().Find(IDC_MODBUS_CMD1 + 4)->label, "CMD5：");
    EXPECT_EQ(ModbusModeTemplate().Find(IDC_MODBUS_CHK_SET1 + 4)->caption, "Set5");
    EXPECT_TRUE(HttpsModeTemplate().Find(IDC_HTTPS_PORT)->style & fw::kDigitsOnly);
    EXPECT_EQ(MqttModeTemplate().Find(IDC_MQTT_PUBTOPIC1 + 3)->label, "Topic4：");
    EXPECT_EQ(MqttModeTemplate().groups[3].caption, "Posted Topics");
}

}  // namespace
}  // namespace marlinq::test
