// The written document: byte for byte the sample layout, well-formed for any value, round trips.
#include <gtest/gtest.h>

#include <cstdlib>

#include "config_test_support.h"
#include "configfile/config_document.h"
#include "configfile/xml_text.h"

namespace {

using namespace configtest;
using configfile::ConfigReadOutcome;
using configfile::ConfigValues;

// xmllint --noout accepts the file: it is well-formed XML.
bool XmllintAccepts(const std::string& document) {
    TempDir dir;
    const std::string file = dir / "written.xml";
    WriteBytes(file, document);
    const std::string command = "xmllint --noout '" + file + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

TEST(ConfigWriter, SampleValuesGiveTheSampleDocumentByteForByte) {
    const std::string golden = ReadBytes(fs::path(CONFIG_TEST_DATA) / "sample.xml");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(configfile::WriteConfigDocument(SampleValues()), golden);
}

TEST(ConfigWriter, FixedLeavesAreWrittenWhateverTheValuesHold) {
    ConfigValues values = SampleValues();
    At(values, "SerialCfg", "DataBits") = "7";
    At(values, "SerialCfg", "Parity") = "E";
    At(values, "SerialCfg", "StopBits") = "2";
    const std::string document = configfile::WriteConfigDocument(values);
    EXPECT_NE(document.find("<DataBits>8</DataBits>\n    <Parity>N</Parity>\n    <StopBits>1</StopBits>"),
              std::string::npos);
    EXPECT_EQ(document, configfile::WriteConfigDocument(SampleValues()));
}

TEST(ConfigWriter, EveryElementRoundTrips) {
    // Each parameter leaf gets a distinct value, with markup characters, non-ASCII text and
    // white space at both ends, so a swapped, dropped or trimmed element shows.
    ConfigValues values = DistinctValues(" <&>\"' 参数 ");
    At(values, "NetworkCfg", "APN") = "";
    At(values, "MQTTCfg", "Password") = "  ";
    const std::string document = configfile::WriteConfigDocument(values);
    ConfigValues read;
    ASSERT_EQ(configfile::ParseConfigDocument(document, &read), ConfigReadOutcome::kRead);
    EXPECT_TRUE(SameParameters(read, values));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (configfile::ConfigLeaves()[i].fixedValue == nullptr) {
            EXPECT_EQ(read[i], values[i]) << configfile::ConfigLeaves()[i].name;
        }
    }
    EXPECT_TRUE(XmllintAccepts(document));
}

TEST(ConfigWriter, WrittenFilesAreWellFormedForAnyValue) {
    const std::string awkward[] = {
        "",
        "plain",
        "a]]>b",
        "<system></system>",
        "&amp; &#0; &lt;",
        std::string("nul\0byte", 8),
        "\x01\x02\x1f\x7f control",
        "bad utf-8 \xff\xfe \xc0\x80 \xed\xa0\x80 end",
        "\xef\xbf\xbe\xef\xbf\xbf",
        "line\r\nbreaks\rand\nmore",
        "--> <!-- comment",
        "<?pi?>",
    };
    for (const std::string& value : awkward) {
        ConfigValues values = DistinctValues("x");
        At(values, "SocketCfg", "IPAddr") = value;
        At(values, "MQTTCfg", "PUBTOPIC4") = value;
        const std::string document = configfile::WriteConfigDocument(values);
        EXPECT_TRUE(XmllintAccepts(document)) << document;
        ConfigValues read;
        ASSERT_EQ(configfile::ParseConfigDocument(document, &read), ConfigReadOutcome::kRead);
        EXPECT_EQ(At(read, "SocketCfg", "IPAddr"), configfile::XmlSafeText(value));
        EXPECT_EQ(At(read, "MQTTCfg", "PUBTOPIC4"), configfile::XmlSafeText(value));
    }
}

TEST(XmlSafeText, KeepsWhatXmlCarriesAndMendsTheRest) {
    using configfile::XmlSafeText;
    EXPECT_EQ(XmlSafeText("abc 参数 \t\n"), "abc 参数 \t\n");
    EXPECT_EQ(XmlSafeText("a\x01"
                          "b\x1f"
                          "c"),
              "abc");
    EXPECT_EQ(XmlSafeText("a\r\nb\rc"), "a\nb\nc");
    EXPECT_EQ(XmlSafeText("a\xff"
                          "b"),
              "a\xef\xbf\xbd"
              "b");
    EXPECT_EQ(XmlSafeText("\xe5\x8f"), "\xef\xbf\xbd\xef\xbf\xbd");  // a character cut short
    EXPECT_EQ(XmlSafeText("\xef\xbf\xbf"), "");
    const std::string once = XmlSafeText("x\r\r\n\xc3\x28\x00y");
    EXPECT_EQ(XmlSafeText(once), once);
    EXPECT_TRUE(configfile::IsValidUtf8("参数 ok"));
    EXPECT_FALSE(configfile::IsValidUtf8("\xc0\xaf"));          // overlong
    EXPECT_FALSE(configfile::IsValidUtf8("\xed\xa0\x80"));      // surrogate
    EXPECT_FALSE(configfile::IsValidUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
}

}  // namespace
