// ParseAdbOutput against the outputs of real adb releases.
#include "adb/adb_output.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/adb_outputs.h"

namespace adb {
namespace {

using namespace testsupport;

TEST(ParseAdbOutput, DeviceLists) {
    struct Row {
        std::string output;
        AdbOutcome outcome;
    };
    const std::vector<Row> rows = {
        {kListOneDevice, AdbOutcome::DeviceListed},
        {"List of devices attached \n0123456789ABCDEF\tdevice\n\n",
         AdbOutcome::DeviceListed},  // trailing blank
        {"List of devices attached\r\nemulator-5554\tdevice\r\n\r\n", AdbOutcome::DeviceListed},
        {std::string(kDaemonStarting) + kListOneDevice, AdbOutcome::DeviceListed},
        {std::string(kListOneDevice) + kDaemonStarting, AdbOutcome::DeviceListed},
        {"List of devices attached\nA1\toffline\nB2\tdevice\n\n", AdbOutcome::DeviceListed},
        {kListEmpty, AdbOutcome::NoDevice},
        {"List of devices attached \n\n", AdbOutcome::NoDevice},
        {std::string(kDaemonStarting) + kListEmpty, AdbOutcome::NoDevice},
        {"List of devices attached\n0123456789ABCDEF\toffline\n\n", AdbOutcome::NoDevice},
        {"List of devices attached\n0123456789ABCDEF\tunauthorized\n\n", AdbOutcome::NoDevice},
        // The help link of this state holds the word "device"; the device is not usable.
        {"List of devices attached\n0123456789ABCDEF\tno permissions (user in plugdev group; are your udev "
         "rules wrong?); see [http://developer.android.com/tools/device.html]\n\n",
         AdbOutcome::NoDevice},
        {"List of devices attached\nmydevice01\toffline\n\n",
         AdbOutcome::NoDevice},  // the word in the serial
        {"List of devices attached\n* daemon started successfully, device may follow\n",
         AdbOutcome::NoDevice},
        {kDaemonStarting, AdbOutcome::NoList},
        {"list of devices attached\nA\tdevice\n", AdbOutcome::NoList},  // the marker is case-sensitive
        {"/opt/x/adb/adb: cannot run in /opt/x/adb: No such file or directory\n", AdbOutcome::NoList},
        {kPushNoDevice, AdbOutcome::NoList},
        {std::string("List of devices attached\n\0A\tdevice\n", 35),
         AdbOutcome::NoDevice},  // text ends at NUL
    };
    for (const auto& row : rows) {
        std::vector<std::string> logged;
        EXPECT_EQ(ParseAdbOutput(row.output, AdbOutputKind::ListDevices,
                                 [&](const std::string& t) { logged.push_back(t); }),
                  row.outcome)
            << row.output;
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(logged[0], AdbOutputText(row.output)) << "the output is logged as one entry";
    }
}

TEST(ParseAdbOutput, TransferLinesInKbOrMbPerSecondCountAsDone) {
    EXPECT_EQ(ClassifyAdbOutput(kPushKb, AdbOutputKind::Transfer), AdbOutcome::TransferDone);
    EXPECT_EQ(ClassifyAdbOutput(kPushMb, AdbOutputKind::Transfer), AdbOutcome::TransferDone);
    EXPECT_EQ(ClassifyAdbOutput(kPushNoDevice, AdbOutputKind::Transfer), AdbOutcome::TransferFailed);
    EXPECT_EQ(
        ClassifyAdbOutput("a.xml: 1 file pushed. 900 B/s (56 bytes in 0.062s)\n", AdbOutputKind::Transfer),
        AdbOutcome::TransferFailed);
    EXPECT_EQ(ClassifyAdbOutput("adb: error: cannot stat 'x.xml': No such file or directory\n",
                                AdbOutputKind::Transfer),
              AdbOutcome::TransferFailed);
    EXPECT_EQ(ClassifyAdbOutput("1234 kb/s\n", AdbOutputKind::Transfer), AdbOutcome::TransferFailed);
}

TEST(ParseAdbOutput, EmptyOutputLogsNoReturnForEitherKind) {
    for (AdbOutputKind kind : {AdbOutputKind::ListDevices, AdbOutputKind::Transfer}) {
        for (const std::string& empty : {std::string(), std::string("\0List of devices attached", 25)}) {
            std::vector<std::string> logged;
            EXPECT_EQ(ParseAdbOutput(empty, kind, [&](const std::string& t) { logged.push_back(t); }),
                      AdbOutcome::NoOutput);
            EXPECT_EQ(logged, std::vector<std::string>{"fastboot cmd of no return!"});
        }
    }
}

}  // namespace
}  // namespace adb
