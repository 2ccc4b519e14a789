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
        int outcome;
    };
    const std::vector<Row> rows = {
        {kListOneDevice, ADB_DEVICE_LISTED},
        {"List of devices attached \n0123456789ABCDEF\tdevice\n\n", ADB_DEVICE_LISTED},  // trailing blank
        {"List of devices attached\r\nemulator-5554\tdevice\r\n\r\n", ADB_DEVICE_LISTED},
        {std::string(kDaemonStarting) + kListOneDevice, ADB_DEVICE_LISTED},
        {std::string(kListOneDevice) + kDaemonStarting, ADB_DEVICE_LISTED},
        {"List of devices attached\nA1\toffline\nB2\tdevice\n\n", ADB_DEVICE_LISTED},
        {kListEmpty, ADB_NO_DEVICE},
        {"List of devices attached \n\n", ADB_NO_DEVICE},
        {std::string(kDaemonStarting) + kListEmpty, ADB_NO_DEVICE},
        {"List of devices attached\n0123456789ABCDEF\toffline\n\n", ADB_NO_DEVICE},
        {"List of devices attached\n0123456789ABCDEF\tunauthorized\n\n", ADB_NO_DEVICE},
        // The help link of this state holds the word "device"; the device is not usable.
        {"List of devices attached\n0123456789ABCDEF\tno permissions (user in plugdev group; are your udev "
         "rules wrong?); see [http://developer.android.com/tools/device.html]\n\n",
         ADB_NO_DEVICE},
        {"List of devices attached\nmydevice01\toffline\n\n", ADB_NO_DEVICE},  // the word in the serial
        {"List of devices attached\n* daemon started successfully, device may follow\n", ADB_NO_DEVICE},
        {kDaemonStarting, ADB_NO_LIST},
        {"list of devices attached\nA\tdevice\n", ADB_NO_LIST},  // the marker is case-sensitive
        {"/opt/x/adb/adb: cannot run in /opt/x/adb: No such file or directory\n", ADB_NO_LIST},
        {kPushNoDevice, ADB_NO_LIST},
        {std::string("List of devices attached\n\0A\tdevice\n", 35), ADB_NO_DEVICE},  // text ends at NUL
    };
    for (const auto& row : rows) {
        std::vector<std::string> logged;
        EXPECT_EQ(
            ParseAdbOutput(row.output, ADB_LIST_DEVICES, [&](const std::string& t) { logged.push_back(t); }),
            row.outcome)
            << row.output;
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(logged[0], AdbOutputText(row.output)) << "the output is logged as one entry";
    }
}

TEST(ParseAdbOutput, TransferLinesInKbOrMbPerSecondCountAsDone) {
    EXPECT_EQ(ClassifyAdbOutput(kPushKb, ADB_TRANSFER), ADB_TRANSFER_DONE);
    EXPECT_EQ(ClassifyAdbOutput(kPushMb, ADB_TRANSFER), ADB_TRANSFER_DONE);
    EXPECT_EQ(ClassifyAdbOutput(kPushNoDevice, ADB_TRANSFER), ADB_TRANSFER_FAILED);
    EXPECT_EQ(ClassifyAdbOutput("a.xml: 1 file pushed. 900 B/s (56 bytes in 0.062s)\n", ADB_TRANSFER),
              ADB_TRANSFER_FAILED);
    EXPECT_EQ(ClassifyAdbOutput("adb: error: cannot stat 'x.xml': No such file or directory\n", ADB_TRANSFER),
              ADB_TRANSFER_FAILED);
    EXPECT_EQ(ClassifyAdbOutput("1234 kb/s\n", ADB_TRANSFER), ADB_TRANSFER_FAILED);
}

TEST(ParseAdbOutput, EmptyOutputLogsNoReturnForEitherKind) {
    for (int kind : {ADB_LIST_DEVICES, ADB_TRANSFER}) {
        for (const std::string& empty : {std::string(), std::string("\0List of devices attached", 25)}) {
            std::vector<std::string> logged;
            EXPECT_EQ(ParseAdbOutput(empty, kind, [&](const std::string& t) { logged.push_back(t); }),
                      ADB_NO_OUTPUT);
            EXPECT_EQ(logged, std::vector<std::string>{"fastboot cmd of no return!"});
        }
    }
}

}  // namespace
}  // namespace adb
