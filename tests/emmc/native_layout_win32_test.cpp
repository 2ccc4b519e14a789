// The request bytes that BuildPassThroughRequest writes are those of the Windows headers'
// SCSI_PASS_THROUGH_DIRECT, filled field by field, for this build's pointer width.
#include <windows.h>

#include <winioctl.h>

#include <ntddscsi.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "pass_through_layout.h"

namespace tarnwick::testing {
namespace {

struct NativeRequest {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;
    UCHAR sense[32];
};

std::vector<std::uint8_t> NativeBytes(const std::uint8_t* cdb, UCHAR cdbLength, UCHAR dataIn, void* data,
                                      ULONG dataLength) {
    NativeRequest request;
    std::memset(&request, 0, sizeof request);
    request.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    request.sptd.TargetId = 1;
    request.sptd.CdbLength = cdbLength;
    request.sptd.SenseInfoLength = 24;
    request.sptd.DataIn = dataIn;
    request.sptd.DataTransferLength = dataLength;
    request.sptd.TimeOutValue = 2;
    request.sptd.DataBuffer = data;
    request.sptd.SenseInfoOffset = offsetof(NativeRequest, sense);
    std::memcpy(request.sptd.Cdb, cdb, cdbLength);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&request);
    return {bytes, bytes + sizeof request};
}

TEST(EmmcNativeLayout, BuilderMatchesTheHeadersStructure) {
    const PassThroughLayout layout = PassThroughLayoutFor(sizeof(void*));
    ASSERT_EQ(sizeof(NativeRequest), layout.requestLength);
    EXPECT_EQ(offsetof(NativeRequest, sense), layout.senseArea);
    if constexpr (sizeof(void*) == 8) {
        EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT), 56u);
        EXPECT_EQ(offsetof(NativeRequest, sense), 60u);
    } else {
        EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT), 44u);
        EXPECT_EQ(offsetof(NativeRequest, sense), 48u);
    }

    std::array<std::uint8_t, 512> data{};
    const std::array<std::uint8_t, 10> read10 = {0x28, 0, 0x01, 0x02, 0x03, 0x04, 0, 0, 1, 0};
    std::vector<std::uint8_t> built(layout.requestLength);
    ASSERT_TRUE(BuildPassThroughRequest(layout, read10, DataDirection::kIn,
                                        reinterpret_cast<std::uintptr_t>(data.data()), 512, built));
    EXPECT_EQ(built, NativeBytes(read10.data(), 10, SCSI_IOCTL_DATA_IN, data.data(), 512));

    const std::array<std::uint8_t, 6> removal = {0x1E, 0, 0, 0, 1, 0};
    ASSERT_TRUE(BuildPassThroughRequest(layout, removal, DataDirection::kOut, 0, 0, built));
    EXPECT_EQ(built, NativeBytes(removal.data(), 6, SCSI_IOCTL_DATA_OUT, nullptr, 0));
}

}  // namespace
}  // namespace tarnwick::testing
