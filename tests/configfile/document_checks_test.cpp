// Documents that are not sound XML in UTF-8 are refused whole, with the reason and, where it is
// known, the byte of the file where the fault is; sound documents read as before.
#include <gtest/gtest.h>

#include "config_test_support.h"
#include "configfile/config_document.h"

namespace {

using namespace configtest;
using configfile::ConfigReadOutcome;
using configfile::ConfigValues;

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

std::string Doc(const std::string& body, const std::string& header = kHeader) {
    return header + "<system><NetworkCfg><APN>apn</APN>" + body + "</NetworkCfg></system>\n";
}

struct Refusal {
    ConfigReadOutcome outcome;
    std::string reason;
    std::size_t offset;
};

// The outcome and reason for document; values given in must stay as they were.
Refusal Refuse(const std::string& document) {
    ConfigValues values = SampleValues();
    configfile::ConfigReadProblem problem;
    const ConfigReadOutcome outcome = configfile::ParseConfigDocument(document, &values, &problem);
    EXPECT_TRUE(SameParameters(values, SampleValues())) << "a refused document changed values";
    EXPECT_EQ(problem.outcome, outcome);
    return {outcome, problem.reason, problem.offset};
}

TEST(DocumentChecks, BytesThatAreNotUtf8AreRefusedWithTheirOffsetAlsoInsideANameOrAfterAMark) {
    // A stray byte inside an element name used to make the leaf missing, so the APN was cleared.
    const std::string inName = Doc("<Pass\xE9word>x</Pass\xE9word>");
    const std::size_t at = inName.find('\xE9');
    const Refusal name = Refuse(inName);
    EXPECT_EQ(name.outcome, ConfigReadOutcome::kNotUtf8);
    EXPECT_EQ(name.reason, "not UTF-8 at byte " + std::to_string(at));
    EXPECT_EQ(name.offset, at);
    // Behind a byte-order mark the offset still counts the file's bytes.
    const std::string marked = "\xEF\xBB\xBF" + Doc("<Username>a\xC3</Username>");
    EXPECT_EQ(Refuse(marked).reason, "not UTF-8 at byte " + std::to_string(marked.find("\xC3<")));
    // Deep in a long file, in a comment where no value is taken from.
    const std::string padded = Doc("<!--" + std::string(1990, 'x') + "\xFF-->");
    EXPECT_EQ(Refuse(padded).reason, "not UTF-8 at byte " + std::to_string(padded.find('\xFF')));
    // UTF-16 with a lone surrogate.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<system><NetworkCfg><APN>a")) {
        utf16 += c;
        utf16 += '\0';
    }
    const std::size_t surrogate = utf16.size();
    utf16 += std::string("\x00\xD8", 2);
    EXPECT_EQ(Refuse(utf16).reason, "not UTF-16 at byte " + std::to_string(surrogate));
}

TEST(DocumentChecks, AnotherDeclaredEncodingIsRefusedOnlyWhereItWouldChangeBytes) {
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    const std::string withLatin1Byte = Doc("<Username>Jos\xE9</Username>", latin1);
    const Refusal r = Refuse(withLatin1Byte);
    EXPECT_EQ(r.outcome, ConfigReadOutcome::kNotUtf8);
    EXPECT_EQ(r.reason, "declares the encoding ISO-8859-1 and holds a byte that is not ASCII at byte " +
                            std::to_string(withLatin1Byte.find('\xE9')) + "; parameter files are UTF-8");
    // Bytes that would be valid UTF-8 are not taken as such either: the file says they are not.
    EXPECT_EQ(Refuse(Doc("<Username>\xC3\xA9</Username>", latin1)).outcome, ConfigReadOutcome::kNotUtf8);
    // Pure ASCII reads the same in any of them.
    ConfigValues values;
    ASSERT_EQ(configfile::ParseConfigDocument(Doc("<Username>Jose</Username>", latin1), &values),
              ConfigReadOutcome::kRead);
    EXPECT_EQ(At(values, "NetworkCfg", "Username"), "Jose");
    ASSERT_EQ(
        configfile::ParseConfigDocument(
            Doc("<Username>Jos\xC3\xA9</Username>", "<?xml version='1.0' encoding='utf-8'?>\n"), &values),
        ConfigReadOutcome::kRead);
    EXPECT_EQ(At(values, "NetworkCfg", "Username"), "Jos\xC3\xA9");
}

TEST(DocumentChecks, ADoctypeIsRefusedSoNoEntityReachesAValue) {
    const std::string doctype = "<!DOCTYPE system [<!ENTITY apn \"injected\">]>\n";
    const std::string document =
        kHeader + doctype + "<system><NetworkCfg><APN>&apn;</APN></NetworkCfg></system>";
    const Refusal r = Refuse(document);
    EXPECT_EQ(r.outcome, ConfigReadOutcome::kDoctype);
    EXPECT_EQ(r.reason, "holds a document type declaration (DOCTYPE) at byte " +
                            std::to_string(kHeader.size()) + "; parameter files have none");
    EXPECT_EQ(Refuse(kHeader + "<!doctype system>\n<system/>").outcome, ConfigReadOutcome::kDoctype);
    // Inside a comment it is only text.
    ConfigValues values;
    EXPECT_EQ(configfile::ParseConfigDocument(Doc("<!-- <!DOCTYPE x> -->"), &values),
              ConfigReadOutcome::kRead);
}

TEST(DocumentChecks, ReferencesToCharactersXmlForbidsAndUndefinedEntitiesAreRefused) {
    struct Case {
        std::string value;
        ConfigReadOutcome outcome;
        std::string reason;  // after the byte offset
    };
    const Case cases[] = {
        {"ab&#0;cd", ConfigReadOutcome::kForbiddenCharacter, "the character reference &#0;"},
        {"ab&#x0;cd", ConfigReadOutcome::kForbiddenCharacter, "the character reference &#x0;"},
        {"&#x000000;", ConfigReadOutcome::kForbiddenCharacter, "the character reference &#x000000;"},
        {"&#27;", ConfigReadOutcome::kForbiddenCharacter, "the character reference &#27;"},
        {"&#xD800;", ConfigReadOutcome::kForbiddenCharacter, "the character reference &#xD800;"},
        {"&#xFFFF;", ConfigReadOutcome::kForbiddenCharacter, "the character reference &#xFFFF;"},
        {"&#99999999999999999999;", ConfigReadOutcome::kForbiddenCharacter,
         "the character reference &#99999999999999999999;"},
        {"&nbsp;", ConfigReadOutcome::kNotWellFormed, "\"&nbsp;\""},
        {"a & b", ConfigReadOutcome::kNotWellFormed, "\"&\""},
        {"&#;", ConfigReadOutcome::kNotWellFormed, "\"&#;\""},
        {"&#x1G;", ConfigReadOutcome::kNotWellFormed, "\"&#x1G;\""},
    };
    for (const Case& c : cases) {
        const std::string document = Doc("<Username>" + c.value + "</Username>");
        const Refusal r = Refuse(document);
        EXPECT_EQ(r.outcome, c.outcome) << c.value;
        const std::size_t at = document.find('&', document.find("<Username>"));
        EXPECT_EQ(r.offset, at) << c.value;
        EXPECT_EQ(r.reason.rfind(c.reason + " at byte " + std::to_string(at), 0), 0u) << r.reason;
    }
    // In an attribute value too, though attributes are never read.
    EXPECT_EQ(Refuse(Doc("<Username note=\"&#0;\">x</Username>")).outcome,
              ConfigReadOutcome::kForbiddenCharacter);
    // Control characters written out.
    const std::string escape = Doc("<Username>a\x1B[2Jb</Username>");
    const Refusal raw = Refuse(escape);
    EXPECT_EQ(raw.outcome, ConfigReadOutcome::kForbiddenCharacter);
    EXPECT_EQ(raw.reason, "the control character 0x1B at byte " + std::to_string(escape.find('\x1B')) +
                              " is not allowed in XML");
    EXPECT_EQ(Refuse(Doc("<Username>a\x01</Username>")).outcome, ConfigReadOutcome::kForbiddenCharacter);
    // What XML does allow still reads: the five predefined entities, character references to
    // allowed characters, and '&' as text inside CDATA, comments and processing instructions.
    ConfigValues values;
    ASSERT_EQ(configfile::ParseConfigDocument(
                  Doc("<Username>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x10FFFF;\t</Username>"
                      "<Password><![CDATA[&#0; & &nbsp;]]><!-- & --><?pi & ?></Password>"),
                  &values),
              ConfigReadOutcome::kRead);
    EXPECT_EQ(At(values, "NetworkCfg", "Username"), "&<>\"'AB\xF4\x8F\xBF\xBF\t");
    EXPECT_EQ(At(values, "NetworkCfg", "Password"), "&#0; & &nbsp;");
    EXPECT_EQ(At(values, "NetworkCfg", "APN"), "apn");
}

TEST(DocumentChecks, DocumentsThatAreNotWellFormedSayWhereTheParserStopped) {
    const std::string cut = Doc("<Username>abc</Username>").substr(0, kHeader.size() + 30);
    const Refusal r = Refuse(cut);
    EXPECT_EQ(r.outcome, ConfigReadOutcome::kNotWellFormed);
    EXPECT_EQ(r.reason.rfind("not well-formed XML at byte ", 0), 0u) << r.reason;
    EXPECT_NE(r.offset, configfile::kNoOffset);
    EXPECT_LE(r.offset, cut.size());
    const Refusal two = Refuse(Doc("") + "<system/>");
    EXPECT_EQ(two.outcome, ConfigReadOutcome::kNotWellFormed);
    EXPECT_EQ(two.reason.rfind("not well-formed XML", 0), 0u);
    EXPECT_EQ(Refuse(kHeader + "<config/>").reason, "the root element is <config>, not <system>");
}

}  // namespace
