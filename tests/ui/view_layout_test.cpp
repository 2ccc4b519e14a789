// The layout every view follows: columns, blocks and rows of the templates, their pixel geometry,
// and the own items of the system menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/resource.h"
#include "ui/templates.h"
#include "ui/view/box_geometry.h"
#include "ui/view/template_layout.h"
#include "ui/view/view_bridge.h"

namespace marlinq::view {
namespace {

int Measure(const std::string& text) {
    return 7 * static_cast<int>(text.size());
}

std::vector<std::string> Captions(const DialogLayout& layout, int column) {
    std::vector<std::string> out;
    for (int b : layout.columns[static_cast<size_t>(column)].blocks) {
        out.push_back(layout.blocks[static_cast<size_t>(b)].caption);
    }
    return out;
}

int IndexOf(const fw::DialogTemplate& tpl, int id) {
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        if (tpl.controls[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool Overlap(const Rect& a, const Rect& b) {
    return !a.Empty() && !b.Empty() && a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() &&
           b.y < a.Bottom();
}

bool Inside(const Rect& r, const Rect& area) {
    return r.Empty() ||
           (r.x >= area.x && r.y >= area.y && r.Right() <= area.Right() && r.Bottom() <= area.Bottom());
}

// Every shown rect (controls, labels, suffixes) lies in the area and none overlaps another.
void ExpectTidy(const fw::DialogTemplate& tpl, const Placement& p, const Rect& area) {
    std::vector<std::pair<Rect, std::string>> rects;
    for (size_t i = 0; i < tpl.controls.size(); ++i) {
        const std::string name = std::to_string(tpl.controls[i].id);
        rects.push_back({p.controls[i].control, name});
        rects.push_back({p.controls[i].label, name + " label"});
        rects.push_back({p.controls[i].suffix, name + " suffix"});
    }
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_TRUE(Inside(rects[i].first, area)) << rects[i].second;
        for (size_t j = i + 1; j < rects.size(); ++j) {
            EXPECT_FALSE(Overlap(rects[i].first, rects[j].first))
                << rects[i].second << " / " << rects[j].second;
        }
    }
}

TEST(TemplateLayout, MainWindowHasThreeColumnsOfGroupsAndTheFreeControls) {
    const auto& tpl = MainDialogTemplate();
    const DialogLayout layout = LayOut(tpl);
    ASSERT_EQ(layout.columns.size(), 3u);
    EXPECT_EQ(Captions(layout, 0), (std::vector<std::string>{"Version", "Basic Params", "SimCard Params",
                                                             "Other Params", "Operate", "串口操作"}));
    EXPECT_EQ(Captions(layout, 1), (std::vector<std::string>{"", "AT command", ""}));
    EXPECT_EQ(Captions(layout, 2), (std::vector<std::string>{"Log", ""}));
    EXPECT_FALSE(layout.columns[0].expands);
    EXPECT_TRUE(layout.columns[1].expands) << "the tab control takes the free height";
    EXPECT_TRUE(layout.columns[2].expands) << "the log pane takes the free height";
    const LayoutBlock& manual = layout.blocks[static_cast<size_t>(layout.columns[0].blocks[5])];
    EXPECT_TRUE(manual.hidden);
    const LayoutBlock& buttons = layout.blocks[static_cast<size_t>(layout.columns[2].blocks[1])];
    EXPECT_TRUE(buttons.alignEnd);
    ASSERT_EQ(buttons.rows.size(), 1u) << "Help and Exit share a row";
    EXPECT_EQ(buttons.rows[0].cells.size(), 2u);
    // The Other Params rows of hidden check boxes and radio buttons take no room.
    const LayoutBlock& other = layout.blocks[static_cast<size_t>(layout.columns[0].blocks[3])];
    ASSERT_EQ(other.rows.size(), 4u);
    EXPECT_FALSE(other.rows[1].hidden);
    EXPECT_TRUE(other.rows[2].hidden);
    EXPECT_TRUE(other.rows[3].hidden);
}

TEST(BoxGeometry, MainWindowFillsItsAreaWithoutOverlaps) {
    const auto& tpl = MainDialogTemplate();
    const DialogLayout layout = LayOut(tpl);
    const Metrics m;
    const Rect area{0, 0, 1180, 700};
    const Placement p = Place(tpl, layout, area, m, Measure);
    ExpectTidy(tpl, p, area);
    auto at = [&](int id) { return p.controls[static_cast<size_t>(IndexOf(tpl, id))]; };
    EXPECT_LT(at(IDC_BTN_GET).control.Right(), at(IDC_TAB_MODES).control.x);
    EXPECT_LT(at(IDC_TAB_MODES).control.Right(), at(IDC_EDIT_LOG).control.x);
    EXPECT_GT(at(IDC_TAB_MODES).control.w, at(IDC_BTN_GET).control.w * 4);
    // The expanding controls reach down to what is below them; the log reaches above Help.
    EXPECT_GT(at(IDC_TAB_MODES).control.h, 300);
    EXPECT_GT(at(IDC_EDIT_LOG).control.h, 500);
    EXPECT_LT(at(IDC_EDIT_LOG).control.Bottom(), at(IDC_BTN_HELP).control.y);
    EXPECT_EQ(at(IDC_BTN_EXIT).control.Right(), area.Right() - m.margin) << "buttons at the right end";
    EXPECT_LT(at(IDC_BTN_HELP).control.x, at(IDC_BTN_EXIT).control.x);
    // Labels sit before their control; labels of a group share one column.
    EXPECT_LT(at(IDC_EDIT_APN).label.Right(), at(IDC_EDIT_APN).control.x);
    EXPECT_EQ(at(IDC_EDIT_APN).control.x, at(IDC_EDIT_APN_PWD).control.x);
    EXPECT_EQ(at(IDC_EDIT_HW1).control.x, at(IDC_EDIT_APP_VERSION).control.x);
    EXPECT_GT(at(IDC_EDIT_HW2).label.x, at(IDC_EDIT_HW1).control.Right())
        << "a second label in a row is inline";
    EXPECT_TRUE(at(IDC_BTN_IMPORT_XML).control.Empty());
    EXPECT_TRUE(at(IDC_COMBO_PORT).label.Empty());
    // The group boxes of the left column stack in template order.
    EXPECT_LT(p.blocks[0].Bottom(), p.blocks[1].y);
}

TEST(BoxGeometry, PagesKeepTheirRowsAndHiddenHints) {
    const Metrics m;
    const Rect area{2, 24, 520, 440};
    {
        const auto& tpl = TcpModeTemplate();
        const Placement p = Place(tpl, LayOut(tpl), area, m, Measure);
        ExpectTidy(tpl, p, area);
        auto at = [&](int id) { return p.controls[static_cast<size_t>(IndexOf(tpl, id))]; };
        const Rect check = at(IDC_TCP_CHK_SERVER2).control;
        EXPECT_EQ(at(IDC_TCP_ADDR2).control.y, check.y);
        EXPECT_LT(check.Right(), at(IDC_TCP_ADDR2).label.x);
        EXPECT_LT(at(IDC_TCP_ADDR2).control.Right(), at(IDC_TCP_PORT2).label.x);
        EXPECT_GT(at(IDC_TCP_ADDR3).control.y, check.y);
        EXPECT_FALSE(at(IDC_TCP_BEAT_PERIOD).suffix.Empty());
        EXPECT_TRUE(at(IDC_TCP_TRIGGER_LENGTH).suffix.Empty()) << "a hidden hint takes no room";
        EXPECT_FALSE(at(IDC_TCP_TRIGGER_LENGTH).control.Empty());
    }
    {
        const auto& tpl = MqttModeTemplate();
        const Placement p = Place(tpl, LayOut(tpl), area, m, Measure);
        ExpectTidy(tpl, p, area);
        auto at = [&](int id) { return p.controls[static_cast<size_t>(IndexOf(tpl, id))]; };
        EXPECT_LT(at(IDC_MQTT_ADDR).control.Right(), at(IDC_MQTT_SUBTOPIC1).label.x) << "two columns";
        EXPECT_LT(at(IDC_MQTT_SUBTOPIC4).control.Bottom(), at(IDC_MQTT_PUBTOPIC1).control.y);
    }
}

TEST(BoxGeometry, NaturalSizeHoldsTheAboutBox) {
    const auto& tpl = AboutTemplate();
    const DialogLayout layout = LayOut(tpl);
    const Metrics m;
    const Size s = NaturalSize(tpl, layout, m, Measure);
    const Rect area{0, 0, s.w, s.h};
    const Placement p = Place(tpl, layout, area, m, Measure);
    ExpectTidy(tpl, p, area);
    EXPECT_GE(s.w, Measure("Marlinq V3.7") + m.iconSize + 2 * m.margin);
    EXPECT_FALSE(p.controls[static_cast<size_t>(IndexOf(tpl, IDC_ABOUT_FILES))].control.Empty())
        << "the folder of the tool's files";
    EXPECT_FALSE(p.controls[static_cast<size_t>(IndexOf(tpl, fw::IDOK))].control.Empty()) << "the OK button";
}

TEST(OwnMenuItems, KeepsTheWindowsItemsWithTheirSeparators) {
    std::vector<fw::MenuItem> items = {
        {fw::SC_RESTORE, "&Restore", false}, {0, "", true}, {fw::SC_CLOSE, "&Close", false}, {0, "", true},
        {IDM_SYS_HELP, "Help(&H)", false},   {0, "", true}, {IDM_SYS_ABOUT, "About", false}};
    const auto withLead = OwnMenuItems(items, true);
    ASSERT_EQ(withLead.size(), 4u);
    EXPECT_TRUE(withLead[0].separator);
    EXPECT_EQ(withLead[1].id, IDM_SYS_HELP);
    EXPECT_TRUE(withLead[2].separator);
    EXPECT_EQ(withLead[3].id, IDM_SYS_ABOUT);
    const auto plain = OwnMenuItems(items, false);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[0].id, IDM_SYS_HELP);
    EXPECT_TRUE(OwnMenuItems({{fw::SC_CLOSE, "&Close", false}}, true).empty());
}

}  // namespace
}  // namespace marlinq::view
