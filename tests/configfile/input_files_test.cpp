// Parameter files are read only when they are regular files: a FIFO or a device in their place is
// refused with its reason, at once, never waited on or read from.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "config_test_support.h"
#include "configfile/config_document.h"
#include "tests/support/file_nodes.h"

namespace {

using namespace configtest;
using configfile::ConfigReadOutcome;

TEST(InputFiles, AFifoIsRefusedWithoutWaitingForAWriter) {
    TempDir dir;
    const std::string fifo = dir / "Config.xml";
    ASSERT_TRUE(testsupport::MakeFifo(fifo));
    // In a child: opening a FIFO for reading the usual way waits for a writer for ever.
    const int outcome = testsupport::RunInChild([&] {
        configfile::ConfigValues values;
        return static_cast<int>(configfile::ReadConfigFile(fifo, &values));
    });
    EXPECT_EQ(outcome, static_cast<int>(ConfigReadOutcome::kNotRegularFile)) << "-1: the read blocked";
    // A writer holds it open with a whole document waiting: still refused, nothing taken from it.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string document = ReadBytes(fs::path(CONFIG_TEST_DATA) / "sample.xml");
    ASSERT_EQ(::write(writer, document.data(), document.size()), static_cast<ssize_t>(document.size()));
    const int refused = testsupport::RunInChild([&] {
        configfile::ConfigValues values = SampleValues();
        configfile::ConfigReadProblem problem;
        const auto outcome = configfile::ReadConfigFile(fifo, &values, &problem);
        return outcome == ConfigReadOutcome::kNotRegularFile &&
                       problem.reason == "it is a FIFO, not a regular file" &&
                       SameParameters(values, SampleValues())
                   ? 1
                   : 0;
    });
    EXPECT_EQ(refused, 1) << "-1: the read blocked";
    std::string left(document.size(), '\0');
    EXPECT_EQ(::read(writer, left.data(), left.size()), static_cast<ssize_t>(document.size()))
        << "the document is still in the FIFO";
    ::close(writer);
}

TEST(InputFiles, DevicesAndDirectoriesAreRefusedByWhatTheyAre) {
    TempDir dir;
    const std::string zero = dir / "zero";
    ASSERT_TRUE(testsupport::MakeCharDevice(zero, testsupport::kZeroMajor, testsupport::kZeroMinor));
    const std::string linkToZero = dir / "Default.xml";
    fs::create_symlink(zero, linkToZero);
    struct Case {
        std::string path;
        const char* reason;
    };
    for (const Case& c : {Case{zero, "it is a character device, not a regular file"},
                          Case{linkToZero, "it is a character device, not a regular file"},
                          Case{dir.path().string(), "it is a directory, not a regular file"}}) {
        configfile::ConfigValues values = SampleValues();
        configfile::ConfigReadProblem problem;
        EXPECT_EQ(configfile::ReadConfigFile(c.path, &values, &problem), ConfigReadOutcome::kNotRegularFile)
            << c.path;
        EXPECT_EQ(problem.reason, c.reason);
        EXPECT_TRUE(SameParameters(values, SampleValues()));
    }
    // A missing file says what the system says; a link to a regular file is read.
    configfile::ConfigValues values;
    configfile::ConfigReadProblem problem;
    EXPECT_EQ(configfile::ReadConfigFile(dir / "absent.xml", &values, &problem),
              ConfigReadOutcome::kCannotOpen);
    EXPECT_EQ(problem.reason, "No such file or directory");
    fs::create_symlink(fs::path(CONFIG_TEST_DATA) / "sample.xml", dir.path() / "link.xml");
    EXPECT_EQ(configfile::ReadConfigFile(dir / "link.xml", &values), ConfigReadOutcome::kRead);
    EXPECT_TRUE(SameParameters(values, SampleValues()));
}

}  // namespace
