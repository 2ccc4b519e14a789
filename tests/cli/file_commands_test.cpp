// marlinq-cli convert: a parameter file loaded into the headless window and saved again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/file_commands.h"
#include "platform/app_directory.h"
#include "platform/clock.h"
#include "tests/support/file_nodes.h"
#include "tests/support/read_file.h"

namespace marlinq::cli {
namespace {

namespace fs = std::filesystem;

class ConvertCommand : public ::testing::Test {
  protected:
    int Convert(const Args& args) {
        out.str("");
        err.str("");
        return RunConvert(args, out, err);
    }
    fs::path dir{platform::GetAppDirectory()};
    std::ostringstream out;
    std::ostringstream err;
    platform::ScopedClockScale scale{0.01};
};

TEST_F(ConvertCommand, RewritesAFileInTheWritersLayout) {
    const fs::path source = dir / "hand made.xml";
    std::ofstream(source)
        << "\xEF\xBB\xBF<SYSTEM>\r\n<MQTTCfg><IP>broker</IP><ConnectState>0</ConnectState></MQTTCfg>"
           "<SerialCfg><DataBits>7</DataBits><BaudRate>9600</BaudRate></SerialCfg>"
           "<SocketCfg><IPAddr>10.0.0.1</IPAddr></SocketCfg></SYSTEM>";
    const fs::path target = dir / "converted.xml";
    ASSERT_EQ(Convert({source.string(), "--out", target.string()}), 0) << err.str() << out.str();
    const std::string written = testsupport::ReadFile(target);
    EXPECT_EQ(written.rfind(
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<system>\n  <SerialCfg>\n"
                  "    <BaudRate>9600</BaudRate>\n    <DataBits>8</DataBits>\n",
                  0),
              0u)
        << written;
    EXPECT_NE(written.find("    <IPAddr>10.0.0.1</IPAddr>\n"), std::string::npos);
    EXPECT_NE(written.find("    <IP>broker</IP>\n"), std::string::npos);
    EXPECT_NE(written.find("    <ConnectState>0</ConnectState>\n"), std::string::npos);
    EXPECT_NE(out.str().find("生成XML文件成功!"), std::string::npos);
}

TEST_F(ConvertCommand, RefusedSourceWritesNothingAndBadArgumentsAreUsageErrors) {
    const fs::path target = dir / "never.xml";
    EXPECT_EQ(Convert({(dir / "missing.xml").string(), "--out", target.string()}), 1);
    EXPECT_NE(out.str().find("导入XML文件失败!"), std::string::npos);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(Convert({"only.xml"}), 2);
    EXPECT_EQ(Convert({"--out", target.string()}), 2);
    EXPECT_EQ(Convert({"a.xml", "b.xml", "--out", target.string()}), 2);
    EXPECT_FALSE(fs::exists(target));
}

// What a save finds at its target decides: a device or a FIFO is written through and stays what it
// was, "-" prints the file, and a directory or a link to nothing is refused with the reason.
TEST_F(ConvertCommand, WritesThroughDevicesFifosAndStandardOutputAndRefusesOtherTargets) {
    const fs::path source = dir / "source.xml";
    std::ofstream(source) << "<system><NetworkCfg><APN>through</APN></NetworkCfg></system>";
    const std::string null = (dir / "null").string();
    ASSERT_TRUE(testsupport::MakeCharDevice(null, testsupport::kNullMajor, testsupport::kNullMinor));
    EXPECT_EQ(Convert({source.string(), "--out", null}), 0) << err.str();
    EXPECT_EQ(testsupport::TypeAt(null), S_IFCHR);

    const std::string fifo = (dir / "pipe").string();
    ASSERT_TRUE(testsupport::MakeFifo(fifo));
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Convert({source.string(), "--out", fifo}), 0) << err.str();
    std::string got(4096, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    got.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    EXPECT_NE(got.find("<APN>through</APN>"), std::string::npos) << got;
    EXPECT_EQ(testsupport::TypeAt(fifo), S_IFIFO);

    ::testing::internal::CaptureStdout();
    const int printed = Convert({source.string(), "--out", "-"});
    const std::string stdoutText = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, 0) << err.str();
    EXPECT_EQ(stdoutText.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<system>", 0),
              0u)
        << stdoutText;
    EXPECT_NE(stdoutText.find("<APN>through</APN>"), std::string::npos);
    EXPECT_FALSE(fs::exists("-"));
    // The document stays whole on standard output: the window's log went to standard error.
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Scanning equipments..."), std::string::npos) << err.str();

    const fs::path folder = dir / "folder";
    fs::create_directories(folder);
    EXPECT_EQ(Convert({source.string(), "--out", folder.string()}), 1);
    EXPECT_EQ(err.str(), "cannot write " + folder.string() + ": it is a directory\n");
    EXPECT_TRUE(fs::is_empty(folder));
    const fs::path dangling = dir / "dangling.xml";
    fs::create_symlink(dir / "nowhere.xml", dangling);
    EXPECT_EQ(Convert({source.string(), "--out", dangling.string()}), 1);
    EXPECT_EQ(err.str(), "cannot write " + dangling.string() + ": it is a symbolic link to nothing\n");
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir / "nowhere.xml"));
}

// A refused file is named with its reason on standard error, and in the log after the system's
// own message.
TEST_F(ConvertCommand, ARefusedSourceIsNamedWithItsReason) {
    const fs::path source = dir / "latin1.xml";
    const std::string bytes = "<system><NetworkCfg><APN>caf\xE9</APN></NetworkCfg></system>";
    std::ofstream(source, std::ios::binary) << bytes;
    const std::string line =
        "cannot load " + source.string() + ": not UTF-8 at byte " + std::to_string(bytes.find('\xE9'));
    EXPECT_EQ(Convert({source.string(), "--out", (dir / "never.xml").string()}), 1);
    EXPECT_EQ(err.str(), line + "\n");
    EXPECT_NE(out.str().find("导入XML文件失败!\n" + line + "\n"), std::string::npos) << out.str();
    EXPECT_FALSE(fs::exists(dir / "never.xml"));
    const fs::path doctype = dir / "doctype.xml";
    std::ofstream(doctype) << "<!DOCTYPE system [<!ENTITY x \"y\">]><system/>";
    EXPECT_EQ(Convert({doctype.string(), "--out", (dir / "never.xml").string()}), 1);
    EXPECT_EQ(err.str(),
              "cannot load " + doctype.string() +
                  ": holds a document type declaration (DOCTYPE) at byte 0; parameter files have none\n");
}

}  // namespace
}  // namespace marlinq::cli
