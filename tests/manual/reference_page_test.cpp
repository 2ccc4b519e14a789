// The parameter reference: the description file must name every parameter of the tool and no
// other, and the page takes its labels, values and places from the tool's own tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "manual/reference_page.h"

namespace manual {
namespace {

std::string ShippedDescriptions() {
    std::ifstream in(std::filesystem::path(MARLINQ_SOURCE_DIR) / "manual" / "parameters.txt");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A description file with an entry for every parameter of the table.
std::string CompleteFile() {
    std::string text;
    for (const std::string& key : ParameterKeys()) {
        text += "[" + key + "]\nmeaning: m\nat: None.\n";
    }
    return text;
}

TEST(ReferencePage, TheShippedDescriptionsCoverEveryParameterAndNoOther) {
    std::string error;
    const auto d = ParseDescriptions(ShippedDescriptions(), &error);
    ASSERT_TRUE(d) << error;
    EXPECT_EQ(CheckDescriptions(*d), std::vector<std::string>{});
}

TEST(ReferencePage, AMissingOrUnknownParameterIsReportedByName) {
    std::string text = CompleteFile();
    const std::string gone = "[132:ResetTime]\nmeaning: m\nat: None.\n";
    text.erase(text.find(gone), gone.size());
    text += "[132:NoSuchThing]\nmeaning: m\n";
    std::string error;
    const auto d = ParseDescriptions(text, &error);
    ASSERT_TRUE(d) << error;
    const auto faults = CheckDescriptions(*d);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "132:ResetTime: the parameter has no description");
    EXPECT_NE(faults[1].find("132:NoSuchThing"), std::string::npos);
    EXPECT_NE(faults[1].find("no such parameter"), std::string::npos);
}

TEST(ReferencePage, AParameterNotCarriedByDtuCfgMustNameItsCommand) {
    std::string text = CompleteFile();
    const std::string apn = "[102:APN]\nmeaning: m\nat: None.\n";
    text.replace(text.find(apn), apn.size(), "[102:APN]\nmeaning: m\n");
    const auto d = ParseDescriptions(text, nullptr);
    ASSERT_TRUE(d);
    const auto faults = CheckDescriptions(*d);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].rfind("102:APN: no AT command named", 0), 0u) << faults[0];
}

TEST(ReferencePage, MalformedDescriptionsNameTheirLine) {
    std::string error;
    EXPECT_FALSE(ParseDescriptions("[102:APN]\nmeaning: a\nsense: b\n", &error));
    EXPECT_EQ(error, "line 3: unknown field sense");
    EXPECT_FALSE(ParseDescriptions("# c\n  continued\n", &error));
    EXPECT_EQ(error, "line 2: a continued line without a field before it");
    EXPECT_FALSE(ParseDescriptions("[102:APN]\nmeaning: a\n[102:APN]\n", &error));
    EXPECT_EQ(error, "line 3: a second entry for 102:APN");
    const auto d = ParseDescriptions("[102:APN]\nmeaning: one\n  two\n", &error);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->at("102:APN").meaning, "one two");
}

TEST(ReferencePage, ThePageShowsTheWindowsLabelsValuesAndPlaces) {
    const auto d = ParseDescriptions(ShippedDescriptions(), nullptr);
    ASSERT_TRUE(d);
    const std::string page = ReferencePage(*d);
    for (const std::string& key : ParameterKeys()) {
        std::string anchor = key;
        anchor[anchor.find(':')] = '-';
        EXPECT_NE(page.find("id=\"" + anchor + "\""), std::string::npos) << key;
    }
    // The label comes from the template, without its full-width colon; the hint beside it too.
    EXPECT_NE(page.find("ResetTime <span class=\"label\">&ldquo;Fault Restart Time&rdquo;"),
              std::string::npos);
    EXPECT_NE(page.find("BeatInterval <span class=\"label\">&ldquo;Beat Peroid&rdquo;"), std::string::npos);
    EXPECT_NE(page.find("<i>(1-600 sec)</i>"), std::string::npos);
    // A value list, the DTUCFG field with the record's bound, the file leaf and the --set form.
    EXPECT_NE(page.find("<code>TCP</code>, <code>UDP</code>, <code>MQTT</code> or <code>HTTP(S)</code>"),
              std::string::npos);
    EXPECT_NE(page.find("<code>AT+DTUCFG</code>, field 2 of 17; Get keeps at most 49 bytes of it."),
              std::string::npos);
    EXPECT_NE(page.find("<code>&lt;SocketCfg&gt;&lt;IPAddr&gt;</code>"), std::string::npos);
    EXPECT_NE(page.find("<code>--set tcp.IPAddr=VALUE</code>; by number <code>--set 132:1045=VALUE</code>"),
              std::string::npos);
    // A read-only box has no --set form.
    const std::size_t app = page.find("id=\"102-AppVersion\"");
    ASSERT_NE(app, std::string::npos);
    EXPECT_EQ(page.substr(app, page.find("</div>", app) - app).find("--set"), std::string::npos);
}

}  // namespace
}  // namespace manual
