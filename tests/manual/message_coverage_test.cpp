// Every message the tool can log, show in a message box or print as a failure line has its entry
// in the troubleshooting page of the manual; the scan that finds the messages finds them whole.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "message_scan.h"

namespace manual::test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The folders whose code logs, shows or prints messages; the views only render them.
const char* const kFolders[] = {"atlink",    "parameters", "configfile", "adb",
                                "discovery", "ui",         "cli",        "platform"};
// Files whose functions word messages and hand them back.
const char* const kWordingFiles[] = {"parameters/input_rules.cpp", "cli/failures.cpp",
                                     "configfile/config_xml.cpp", "adb/command_runner.cpp"};

std::vector<FoundMessage> ToolMessages() {
    const fs::path root = MARLINQ_SOURCE_DIR;
    std::vector<FoundMessage> all;
    for (const char* folder : kFolders) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string rel = fs::relative(entry.path(), root).generic_string();
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h") || rel.rfind("ui/qt/", 0) == 0 ||
                rel.rfind("ui/win32/", 0) == 0 || rel.rfind("ui/view/", 0) == 0) {
                continue;
            }
            bool wording = false;
            for (const char* w : kWordingFiles) {
                wording = wording || rel == w;
            }
            auto found = ScanSource(ReadFile(entry.path()), rel, wording);
            all.insert(all.end(), found.begin(), found.end());
        }
    }
    return all;
}

std::string Troubleshooting() {
    return VisibleText(ReadFile(fs::path(MARLINQ_SOURCE_DIR) / "manual" / "trouble.html"));
}

std::string Show(const FoundMessage& m) {
    std::string text = m.where + ":";
    for (const auto& p : m.pieces) {
        text += " [" + p + "]";
    }
    return text;
}

TEST(MessageCoverage, EveryMessageOfTheToolHasItsTroubleshootingEntry) {
    const auto messages = ToolMessages();
    const std::string page = Troubleshooting();
    // The scan itself must have found the flows' messages, or the check below proves nothing.
    ASSERT_GT(messages.size(), 120u);
    std::string missing;
    for (const auto& m : messages) {
        if (!Covers(page, m.pieces)) {
            missing += Show(m) + "\n";
        }
    }
    EXPECT_EQ(missing, "") << "messages without an entry in manual/trouble.html";
}

TEST(MessageCoverage, TheScanFindsTheMessagesOfEveryFlowWhole) {
    const auto messages = ToolMessages();
    auto has = [&](std::vector<std::string> pieces) {
        for (const auto& m : messages) {
            if (m.pieces == pieces) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(has({"Equipment ready [AT:COM", "] for operation!"}));  // the scanner
    EXPECT_TRUE(has({"download failed!"}));                             // the download flow's steps
    EXPECT_TRUE(has({"DTUCFG parameters"}));                            //   and their names
    EXPECT_TRUE(has({"MultiSockCfg-", "parameters"}));                  //   built from a number
    EXPECT_TRUE(has({"DTUCFG parameters get failed!"}));                // the read flow
    EXPECT_TRUE(has({"ResetTime cannot be set to 0!"}));                // the input rules
    EXPECT_TRUE(
        has({"\xE5\xAF\xBC\xE5\x85\xA5XML\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB1\xE8\xB4\xA5!"}));  // the file
                                                                                                 // messages
    EXPECT_TRUE(has({"Hide ADB failed!"}));        // one side of a choice
    EXPECT_TRUE(has({"Hide ADB successfully!"}));  //   and the other
    EXPECT_TRUE(
        has({"Port", "open failed\xEF\xBC\x8CPlease check whether the port occupied!"}));  // a constant
    EXPECT_TRUE(has({"is busy: another program holds it"}));  // a cli failure line
    EXPECT_TRUE(has({"no module found within", "s"}));
    EXPECT_TRUE(has({"CreatePipe Failed!"}));  // a message box
}

TEST(MessageCoverage, APageWithoutAnEntryIsCaught) {
    std::string page = Troubleshooting();
    const std::vector<std::string> pieces = {"DTUCFG parameters", "download failed!"};
    ASSERT_TRUE(Covers(page, {"DTUCFG parameters download failed!"}));
    for (std::size_t at; (at = page.find("DTUCFG parameters download failed!")) != std::string::npos;) {
        page.erase(at, 34);
    }
    EXPECT_FALSE(Covers(page, {"DTUCFG parameters download failed!"}));
}

TEST(MessageScan, FindsSinkArgumentsConstantsAndReasonsButNotOtherTexts) {
    const std::string source = R"src(
        // m_log("a commented call is no message");
        constexpr const char* kMsgDone = "Saved!";
        constexpr const char* kDialogTitle = "Save xml file:";
        void F() {
            m_log("\r\nStart" " now...");
            LogFailure(m_log, out, what + " went wrong!");
            log(ok ? "Fine!" : "Not fine!");
            m_cb.addLog("Port " + std::to_string(n) + " is open!");
            addLog(PortLine("Port %d closed!", port));
            if (line == "not a message") {}
            Usage(name, "[--timeout S]", "no arguments besides options");
            *error = name + " needs a value";
            return "returned, but this file words nothing";
        }
    )src";
    const auto found = ScanSource(source, "x.cpp", false);
    std::vector<std::vector<std::string>> pieces;
    for (const auto& m : found) {
        pieces.push_back(m.pieces);
    }
    const std::vector<std::vector<std::string>> expected = {{"Start now..."},
                                                            {"went wrong!"},
                                                            {"Fine!"},
                                                            {"Not fine!"},
                                                            {"Port", "is open!"},
                                                            {"Port", "closed!"},
                                                            {"no arguments besides options"},
                                                            {"Saved!"},
                                                            {"needs a value"}};
    EXPECT_EQ(pieces, expected);
    EXPECT_EQ(found[0].where, "x.cpp:6");

    const auto worded =
        ScanSource("std::string W() { return a ? com + \" is gone\" : \"none\"; }", "w.cpp", true);
    ASSERT_EQ(worded.size(), 2u);
    EXPECT_EQ(worded[0].pieces, std::vector<std::string>{"is gone"});
    EXPECT_EQ(worded[1].pieces, std::vector<std::string>{"none"});
}

TEST(MessageScan, PiecesMustAppearInOrderAndCloseTogether) {
    const std::string page = VisibleText(
        "<p><code>Equipment ready [AT:COMn] for operation!</code></p>"
        "<p>Port n &amp; more closed!</p>");
    EXPECT_TRUE(Covers(page, {"Equipment ready [AT:COM", "] for operation!"}));
    EXPECT_FALSE(Covers(page, {"] for operation!", "Equipment ready [AT:COM"}));
    EXPECT_TRUE(Covers(page, {"Port", "& more closed!"}));
    EXPECT_FALSE(Covers(page, {"Equipment", "closed!"}, 10));
    EXPECT_EQ(DecodeLiteral(R"(a\x41\tb\"\\)"), "aA\tb\"\\");
    EXPECT_EQ(Normalize("\r\n  two\t words \x1b"), "two words");
}

}  // namespace
}  // namespace manual::test
