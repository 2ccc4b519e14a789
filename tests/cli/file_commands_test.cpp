// marlinq-cli convert: a parameter file loaded into the headless window and saved again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/file_commands.h"
#include "platform/app_directory.h"
#include "platform/clock.h"
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

}  // namespace
}  // namespace marlinq::cli
