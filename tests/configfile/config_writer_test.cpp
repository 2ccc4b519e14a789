// The written document: byte for byte the sample layout, well-formed for any value, round trips.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "config_test_support.h"
#include "configfile/config_document.h"
#include "configfile/xml_text.h"

extern char** environ;

namespace {

using namespace configtest;
using configfile::ConfigReadOutcome;
using configfile::ConfigValues;

// For each document, whether xmllint --noout accepts it: it is well-formed XML. One xmllint
// process a document, all of them started before the first is waited for.
std::vector<bool> XmllintAcceptsEach(const std::vector<std::string>& documents) {
    TempDir dir;
    std::vector<pid_t> children;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const std::string file = dir / ("written-" + std::to_string(i) + ".xml");
        WriteBytes(file, documents[i]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string errors = dir / ("xmllint-" + std::to_string(i) + ".err");
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::string program = "xmllint";
        std::string noout = "--noout";
        char* argv[] = {program.data(), noout.data(), const_cast<char*>(file.c_str()), nullptr};
        pid_t pid = -1;
        if (posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        children.push_back(pid);
    }
    std::vector<bool> accepted;
    for (const pid_t pid : children) {
        int status = 0;
        accepted.push_back(pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                           WEXITSTATUS(status) == 0);
    }
    return accepted;
}

bool XmllintAccepts(const std::string& document) {
    return XmllintAcceptsEach({document}).front();
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
    std::vector<std::string> documents;
    for (const std::string& value : awkward) {
        ConfigValues values = DistinctValues("x");
        At(values, "SocketCfg", "IPAddr") = value;
        At(values, "MQTTCfg", "PUBTOPIC4") = value;
        documents.push_back(configfile::WriteConfigDocument(values));
    }
    const std::vector<bool> accepted = XmllintAcceptsEach(documents);
    ASSERT_EQ(accepted.size(), documents.size());
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const std::string& value = awkward[i];
        const std::string& document = documents[i];
        EXPECT_TRUE(accepted[i]) << document;
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
