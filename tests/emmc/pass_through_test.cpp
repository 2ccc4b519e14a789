// The command layer: refusals before sending, the trace line, data buffers and device status.
#include <array>
#include <string>

#include "emmc_fixture.h"
#include "pass_through.h"
#include "sense.h"

namespace tarnwick::testing {
namespace {

using EmmcPassThrough = EmmcTest;

TEST_F(EmmcPassThrough, MalformedRequestsAreRefusedBeforeAnythingIsSent) {
    OpenEmmc();
    unsigned char cdb[16] = {0x00};
    unsigned char buffer[1024] = {};
    EXPECT_EQ(SendSCSI(cdb, 16), -1);
    EXPECT_EQ(SendSCSI(cdb, 0), -1);
    EXPECT_EQ(SendSCSI(cdb, 7), -1);
    EXPECT_EQ(SendSCSI(nullptr, 6), -1);
    EXPECT_EQ(SendSCSIDataToDevice(cdb, 11), -1);
    EXPECT_EQ(SendSCSIWithBufferToRead(cdb, 6, buffer, 1000), -1);
    EXPECT_EQ(SendSCSIWithBufferToWrite(cdb, 6, buffer, 513), -1);
    EXPECT_EQ(SendSCSIWithBufferToRead(cdb, 6, nullptr, 512), -1);
    EXPECT_EQ(SendSCSIWithBufferToRead(cdb, 6, buffer, 0), -1);
    EXPECT_EQ(SendSCSIWithBufferToWrite(cdb, 6, nullptr, 512), -1);
    EXPECT_EQ(SendSCSIWithBufferToWrite(cdb, 6, buffer, 0), -1);
    EXPECT_TRUE(disk.commands.empty());
    EXPECT_TRUE(disk.traces.empty());
}

TEST_F(EmmcPassThrough, UnusableHandlesAreRefused) {
    OpenEmmc();
    const std::uint8_t cdb[6] = {0x00};
    EXPECT_EQ(SendScsiPassThrough(kNoDevice, cdb, 6, nullptr, 0, DataDirection::kOut), -1);
    EXPECT_EQ(SendScsiPassThrough(0, cdb, 6, nullptr, 0, DataDirection::kOut), -1);
    EXPECT_TRUE(disk.commands.empty());
}

TEST_F(EmmcPassThrough, TraceLineShowsLengthAndEveryCdbByte) {
    OpenEmmc();
    unsigned char buffer[8 * 512];
    ASSERT_EQ(ReadFromEMMC(0, buffer, 8), 0);
    unsigned char unit[6] = {0x00, 0x01, 0x02, 0xab, 0xcd, 0xef};
    EXPECT_EQ(SendSCSIDataToDevice(unit, 6), 0);
    unsigned char twelve[12] = {0xa8, 0, 0, 0, 0, 0x10, 0, 0, 0, 1, 0, 0xff};
    EXPECT_EQ(SendSCSIWithBufferToRead(twelve, 12, buffer, 512), -1) << "the fake has no READ(12)";
    ASSERT_GE(disk.traces.size(), 3u);
    EXPECT_EQ(disk.traces[0], "Length=10,SCSICommand:0x28000000000000000800");
    EXPECT_EQ(disk.traces[1], "Length=6,SCSICommand:0x000102abcdef");
    EXPECT_EQ(disk.traces[2], "Length=12,SCSICommand:0xa800000000100000000100ff");
}

TEST_F(EmmcPassThrough, DataBufferFollowsTheCallerOrTheDefault) {
    OpenEmmc();
    unsigned char modeSense[6] = {0x1A, 0, 0x3F, 0, 0x0C, 0};
    ASSERT_EQ(SendSCSI(modeSense, 6), 0);
    ASSERT_EQ(SendSCSIDataToDevice(modeSense, 6), -1) << "the fake refuses MODE SENSE without data";
    unsigned char buffer[512] = {};
    ASSERT_EQ(SendSCSIWithBufferToRead(modeSense, 6, buffer, sizeof buffer), 0);
    ASSERT_EQ(disk.commands.size(), 3u);

    EXPECT_EQ(disk.commands[0].direction, DataDirection::kIn);
    EXPECT_EQ(disk.commands[0].data, DefaultDataBuffer().data());
    EXPECT_EQ(disk.commands[0].dataLength, 512u);
    EXPECT_EQ(DefaultDataBuffer()[0], 11) << "the reply landed in the default buffer";

    EXPECT_EQ(disk.commands[1].direction, DataDirection::kOut);
    EXPECT_EQ(disk.commands[1].data, nullptr);
    EXPECT_EQ(disk.commands[1].dataLength, 0u);

    EXPECT_EQ(disk.commands[2].data, buffer);
    EXPECT_EQ(disk.commands[2].dataLength, 512u);
    EXPECT_EQ(buffer[3], 8) << "block descriptor length";
}

TEST_F(EmmcPassThrough, DeviceRejectionAndTransportFailureReturnMinusOne) {
    OpenEmmc();
    unsigned char unknown[10] = {0xEE};
    EXPECT_EQ(SendSCSIDataToDevice(unknown, 10), -1);
    ASSERT_EQ(disk.traces.size(), 2u);
    EXPECT_EQ(disk.traces[1], "SCSIStatus=0x02,SenseKey=0x5,ASC=0x20,ASCQ=0x00");

    disk.faults[1] = ScsiOutcome::kTransportFailed;
    EXPECT_EQ(SendSyncCacheCommand(), -1);
    EXPECT_EQ(disk.traces.back(), "SCSI transport failed");

    disk.faults[2] = ScsiOutcome::kDeviceRejected;
    unsigned char data[512] = {1};
    unsigned char write10[10] = {0x2A, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(SendSCSIWithBufferToWrite(write10, 10, data, 512), -1);
    EXPECT_EQ(disk.storage[0], 0) << "a rejected write changed nothing";
    EXPECT_EQ(SendSCSIWithBufferToWrite(write10, 10, data, 512), 0);
    EXPECT_EQ(disk.storage[0], 1);
}

TEST(EmmcSenseDecoding, FixedAndDescriptorFormatsAreReadWithinBounds) {
    const std::array<std::uint8_t, 18> fixed = {0xF0, 0, 0x63, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0x01};
    auto summary = DecodeSense(fixed);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->key, 0x3);
    EXPECT_EQ(summary->asc, 0x3A);
    EXPECT_EQ(summary->ascq, 0x01);
    EXPECT_FALSE(DecodeSense(std::span(fixed).first(13))) << "fixed format needs 14 bytes";

    const std::array<std::uint8_t, 4> descriptor = {0x72, 0x0B, 0x47, 0x03};
    summary = DecodeSense(descriptor);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->key, 0xB);
    EXPECT_EQ(summary->asc, 0x47);
    EXPECT_EQ(summary->ascq, 0x03);
    EXPECT_FALSE(DecodeSense(std::span(descriptor).first(3)));

    const std::array<std::uint8_t, 18> vendorFormat = {0x7F, 0, 0x05};
    EXPECT_FALSE(DecodeSense(vendorFormat));
    EXPECT_FALSE(DecodeSense({}));
}

}  // namespace
}  // namespace tarnwick::testing
