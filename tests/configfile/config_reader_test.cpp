// Reading rules of the parameter file, and the files it refuses.
#include <gtest/gtest.h>

#include "config_test_support.h"
#include "configfile/config_document.h"

namespace {

using namespace configtest;
using configfile::ConfigReadOutcome;
using configfile::ConfigValues;

std::string Doc(const std::string& body, const std::string& root = "system") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<" + root + ">" + body + "</" +
           root + ">\n";
}

ConfigValues Read(const std::string& document, ConfigReadOutcome expected = ConfigReadOutcome::kRead) {
    ConfigValues values;
    EXPECT_EQ(configfile::ParseConfigDocument(document, &values), expected) << document;
    return values;
}

TEST(ConfigReader, RootIsComparedInLowerCase) {
    for (const char* root : {"system", "System", "SYSTEM", "sYsTeM"}) {
        EXPECT_EQ(At(Read(Doc("<NetworkCfg><APN>a</APN></NetworkCfg>", root)), "NetworkCfg", "APN"), "a");
    }
    for (const char* root : {"config", "systems", "sys"}) {
        ConfigValues values = SampleValues();
        EXPECT_EQ(
            configfile::ParseConfigDocument(Doc("<NetworkCfg><APN>a</APN></NetworkCfg>", root), &values),
            ConfigReadOutcome::kWrongRoot);
        EXPECT_TRUE(SameParameters(values, SampleValues())) << "a refused file changes nothing";
    }
}

TEST(ConfigReader, LeavesMatchByExactNameAndTheLastOneWins) {
    const ConfigValues v = Read(Doc(
        "<SerialCfg><BaudRate>9600</BaudRate><baudrate>300</baudrate><BaudRate>115200</BaudRate></SerialCfg>"
        "<MQTTCfg><Username>wrong case</Username><UserName>mq</UserName><PASSWORD>x</PASSWORD>"
        "<Password>mp</Password><password>y</password></MQTTCfg>"
        "<NetworkCfg><UserName>wrong "
        "case</UserName><Username>nu</Username><Password>np</Password></NetworkCfg>"));
    EXPECT_EQ(At(v, "SerialCfg", "BaudRate"), "115200");
    EXPECT_EQ(At(v, "MQTTCfg", "UserName"), "mq");
    EXPECT_EQ(At(v, "MQTTCfg", "Password"), "mp");
    EXPECT_EQ(At(v, "NetworkCfg", "Username"), "nu");
    EXPECT_EQ(At(v, "NetworkCfg", "Password"), "np");
    // A name in lower case is another element and leaves the value empty.
    EXPECT_EQ(At(Read(Doc("<SerialCfg><baudrate>9600</baudrate></SerialCfg>")), "SerialCfg", "BaudRate"), "");
}

TEST(ConfigReader, MissingLeavesAndGroupsReadAsEmpty) {
    const ConfigValues v =
        Read(Doc("<NetworkCfg><Username>u</Username></NetworkCfg>"
                 "<MQTTCfg><IP>broker</IP></MQTTCfg>"));
    EXPECT_EQ(At(v, "NetworkCfg", "APN"), "");
    EXPECT_EQ(At(v, "NetworkCfg", "Username"), "u");
    EXPECT_EQ(At(v, "MQTTCfg", "IP"), "broker");
    EXPECT_EQ(At(v, "MQTTCfg", "PORT"), "");
    // Groups absent altogether: their leaves are missing, not an error.
    EXPECT_EQ(At(v, "SocketCfg", "IPAddr"), "");
    EXPECT_EQ(At(v, "SerialCfg", "BaudRate"), "");
    EXPECT_TRUE(SameParameters(Read(Doc("")), ConfigValues{}));
}

TEST(ConfigReader, GroupsAreFoundByNameFirstOneWinsOthersChangeNothing) {
    const ConfigValues v =
        Read(Doc("<MQTTCfg><IP>first</IP></MQTTCfg>"
                 "<DebugCfg><LogLevel>2</LogLevel></DebugCfg>"
                 "<MQTTCfg><IP>second</IP><PORT>1</PORT></MQTTCfg>"
                 "<mqttcfg><PORT>2</PORT></mqttcfg>"
                 "<Other><APN>x</APN></Other>"
                 "<NetworkCfg><APN>apn</APN></NetworkCfg>"));
    EXPECT_EQ(At(v, "MQTTCfg", "IP"), "first");
    EXPECT_EQ(At(v, "MQTTCfg", "PORT"), "");
    EXPECT_EQ(At(v, "DebugCfg", "LogLevel"), "2");
    EXPECT_EQ(At(v, "NetworkCfg", "APN"), "apn");
    // A leaf is taken only from its own group, and only as a direct child of it.
    const ConfigValues w =
        Read(Doc("<SocketCfg><APN>x</APN><Port>1</Port></SocketCfg>"
                 "<NetworkCfg><Inner><APN>nested</APN></Inner></NetworkCfg><APN>top</APN>"));
    EXPECT_EQ(At(w, "NetworkCfg", "APN"), "");
    EXPECT_EQ(At(w, "SocketCfg", "Port"), "1");
}

TEST(ConfigReader, FixedLeavesAreNeverRead) {
    ConfigValues values = SampleValues();
    ASSERT_EQ(
        configfile::ParseConfigDocument(
            Doc("<SerialCfg><DataBits>7</DataBits><Parity>E</Parity><StopBits>2</StopBits></SerialCfg>"),
            &values),
        ConfigReadOutcome::kRead);
    EXPECT_EQ(At(values, "SerialCfg", "DataBits"), "");
    EXPECT_EQ(At(values, "SerialCfg", "Parity"), "");
    EXPECT_NE(configfile::WriteConfigDocument(values).find("<DataBits>8</DataBits>"), std::string::npos);
}

TEST(ConfigReader, ValuesKeepTheirTextExactly) {
    const ConfigValues v =
        Read(Doc("\n  <!-- a comment -->\n  <NetworkCfg>\n    <APN>  spaced apn\t</APN>\n"
                 "    <Username><![CDATA[<raw & text>]]></Username>\n"
                 "    <Password>a<!-- hidden -->b<?pi x?><i>c</i>&amp;&#x53C2;</Password>\n  </NetworkCfg>\n"
                 "  <MQTTCfg><ClientId attr=\"ignored\">id</ClientId><IP>line1\r\nline2</IP></MQTTCfg>\n"));
    EXPECT_EQ(At(v, "NetworkCfg", "APN"), "  spaced apn\t");
    EXPECT_EQ(At(v, "NetworkCfg", "Username"), "<raw & text>");
    EXPECT_EQ(At(v, "NetworkCfg", "Password"), "abc&参");
    EXPECT_EQ(At(v, "MQTTCfg", "ClientId"), "id");
    EXPECT_EQ(At(v, "MQTTCfg", "IP"), "line1\nline2");
}

TEST(ConfigReader, EncodingsWithAndWithoutByteOrderMark) {
    const std::string body = "<system><NetworkCfg><APN>参数</APN></NetworkCfg></system>";
    EXPECT_EQ(At(Read("\xEF\xBB\xBF" + Doc("<NetworkCfg><APN>参数</APN></NetworkCfg>")), "NetworkCfg", "APN"),
              "参数");
    EXPECT_EQ(At(Read(body), "NetworkCfg", "APN"), "参数");  // no declaration at all
    // The same document in UTF-16 little-endian with its byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<system><NetworkCfg><APN>a</APN></NetworkCfg></system>")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(At(Read(utf16), "NetworkCfg", "APN"), "a");
}

TEST(ConfigReader, BrokenDocumentsChangeNothing) {
    const std::string broken[] = {
        "",
        "not xml",
        Doc("<NetworkCfg><APN>a</NetworkCfg>"),
        Doc("<NetworkCfg><APN>a</APN></NetworkCfg>") + "<system/>",
        "text before " + Doc(""),
        "<?xml version=\"1.0\"?>",
        Doc("<NetworkCfg><APN>a</APN>"),
    };
    for (const std::string& document : broken) {
        ConfigValues values = SampleValues();
        EXPECT_EQ(configfile::ParseConfigDocument(document, &values), ConfigReadOutcome::kNotWellFormed)
            << document;
        EXPECT_TRUE(SameParameters(values, SampleValues()));
    }
}

std::string Nested(std::size_t depth) {
    std::string document;
    for (std::size_t i = 0; i < depth; ++i) {
        document += "<a>";
    }
    for (std::size_t i = 0; i < depth; ++i) {
        document += "</a>";
    }
    return Doc("<NetworkCfg><APN>x</APN></NetworkCfg>" + document);
}

TEST(ConfigReader, DeepNestingIsRefusedInBoundedStack) {
    // Neither the parse nor the depth walk recurses, so nesting costs no stack (the sanitizer
    // build would report an overflow); anything nested past the limit is refused.
    ConfigValues values = SampleValues();
    EXPECT_EQ(configfile::ParseConfigDocument(Nested(10000), &values), ConfigReadOutcome::kTooDeep);
    EXPECT_EQ(configfile::ParseConfigDocument(Nested(100000), &values), ConfigReadOutcome::kTooDeep);
    EXPECT_TRUE(SameParameters(values, SampleValues()));
    EXPECT_EQ(At(Read(Nested(configfile::kMaxConfigDepth - 1)), "NetworkCfg", "APN"), "x");
    EXPECT_EQ(configfile::ParseConfigDocument(Nested(configfile::kMaxConfigDepth), &values),
              ConfigReadOutcome::kTooDeep);
}

TEST(ConfigFile, MissingUnreadableAndOversizedFilesAreRefused) {
    TempDir dir;
    ConfigValues values = SampleValues();
    EXPECT_EQ(configfile::ReadConfigFile(dir / "absent.xml", &values), ConfigReadOutcome::kCannotOpen);
    EXPECT_EQ(configfile::ReadConfigFile(dir.path().string(), &values), ConfigReadOutcome::kNotRegularFile);
    // A sparse 100 MB file: refused from its size, before its bytes are read.
    const std::string huge = dir / "huge.xml";
    WriteBytes(huge, Doc(""));
    fs::resize_file(huge, 100u * 1024 * 1024);
    EXPECT_EQ(configfile::ReadConfigFile(huge, &values), ConfigReadOutcome::kTooLarge);
    // One byte over the limit, and exactly at it.
    const std::string over = dir / "over.xml";
    std::string padded = Doc("<NetworkCfg><APN>x</APN></NetworkCfg>");
    padded += std::string(configfile::kMaxConfigFileBytes - padded.size(), ' ');
    WriteBytes(over, padded + " ");
    EXPECT_EQ(configfile::ReadConfigFile(over, &values), ConfigReadOutcome::kTooLarge);
    EXPECT_TRUE(SameParameters(values, SampleValues()));
    WriteBytes(over, padded);
    EXPECT_EQ(configfile::ReadConfigFile(over, &values), ConfigReadOutcome::kRead);
    EXPECT_EQ(At(values, "NetworkCfg", "APN"), "x");
}

TEST(ConfigFile, SampleFileReadsBack) {
    ConfigValues values;
    ASSERT_EQ(configfile::ReadConfigFile((fs::path(CONFIG_TEST_DATA) / "sample.xml").string(), &values),
              ConfigReadOutcome::kRead);
    EXPECT_TRUE(SameParameters(values, SampleValues()));
}

}  // namespace
