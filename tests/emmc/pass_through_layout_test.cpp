// The pass-through request bytes of 32-bit and 64-bit builds, and reading the driver's answer with
// the byte counts a storage driver reports.
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "pass_through_layout.h"
#include "trace_line.h"

namespace tarnwick::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& bytes, std::size_t offset, std::initializer_list<std::uint8_t> values) {
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes Build(std::size_t pointerWidth, std::span<const std::uint8_t> cdb, DataDirection direction,
            std::uint64_t address, std::uint32_t length) {
    const PassThroughLayout layout = PassThroughLayoutFor(pointerWidth);
    Bytes out(layout.requestLength, 0xCC);
    EXPECT_TRUE(BuildPassThroughRequest(layout, cdb, direction, address, length, out));
    return out;
}

TEST(EmmcPassThroughLayout, ThirtyTwoBitRequestByteForByte) {
    const PassThroughLayout layout = PassThroughLayoutFor(4);
    EXPECT_EQ(layout.structLength, 44u);
    EXPECT_EQ(layout.dataBuffer, 20u);
    EXPECT_EQ(layout.senseInfoOffset, 24u);
    EXPECT_EQ(layout.cdb, 28u);
    EXPECT_EQ(layout.senseArea, 48u);
    EXPECT_EQ(layout.requestLength, 80u);

    const std::array<std::uint8_t, 10> read10 = {0x28, 0, 0x01, 0x02, 0x03, 0x04, 0, 0, 0x08, 0};
    Bytes expected(80, 0);
    Put(expected, 0, {44, 0});                    // Length
    Put(expected, 4, {1});                        // TargetId
    Put(expected, 6, {10, 24, 1});                // CdbLength, SenseInfoLength, DataIn
    Put(expected, 12, {0x00, 0x10, 0x00, 0});     // DataTransferLength 4096
    Put(expected, 16, {2, 0, 0, 0});              // TimeOutValue
    Put(expected, 20, {0x78, 0x56, 0x34, 0x12});  // DataBuffer
    Put(expected, 24, {48, 0, 0, 0});             // SenseInfoOffset
    Put(expected, 28, {0x28, 0, 0x01, 0x02, 0x03, 0x04, 0, 0, 0x08, 0});
    EXPECT_EQ(Build(4, read10, DataDirection::kIn, 0x12345678, 4096), expected);

    const std::array<std::uint8_t, 6> removal = {0x1E, 0, 0, 0, 0x01, 0};
    Bytes noData(80, 0);
    Put(noData, 0, {44, 0});
    Put(noData, 4, {1});
    Put(noData, 6, {6, 24, 0});
    Put(noData, 16, {2});
    Put(noData, 24, {48});
    Put(noData, 28, {0x1E, 0, 0, 0, 0x01, 0});
    EXPECT_EQ(Build(4, removal, DataDirection::kOut, 0, 0), noData);
}

TEST(EmmcPassThroughLayout, SixtyFourBitRequestByteForByte) {
    const PassThroughLayout layout = PassThroughLayoutFor(8);
    EXPECT_EQ(layout.structLength, 56u);
    EXPECT_EQ(layout.dataBuffer, 24u);
    EXPECT_EQ(layout.senseInfoOffset, 32u);
    EXPECT_EQ(layout.cdb, 36u);
    EXPECT_EQ(layout.senseArea, 60u);
    EXPECT_EQ(layout.requestLength, 96u);

    std::array<std::uint8_t, 12> twelve{};
    for (std::size_t i = 0; i < twelve.size(); ++i) {
        twelve[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    Bytes expected(96, 0);
    Put(expected, 0, {56, 0});
    Put(expected, 4, {1});
    Put(expected, 6, {12, 24, 0});
    Put(expected, 12, {0x00, 0x00, 0x01, 0x00});  // DataTransferLength 65536
    Put(expected, 16, {2, 0, 0, 0});
    Put(expected, 24, {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11});
    Put(expected, 32, {60, 0, 0, 0});
    Put(expected, 36, {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB});
    EXPECT_EQ(Build(8, twelve, DataDirection::kOut, 0x1122334455667788ULL, 65536), expected);
}

TEST(EmmcPassThroughLayout, BuilderRefusesShortOutputAndLongCdb) {
    const PassThroughLayout layout = PassThroughLayoutFor(8);
    std::array<std::uint8_t, 17> cdb17{};
    Bytes out(layout.requestLength, 0xCC);
    EXPECT_FALSE(BuildPassThroughRequest(layout, cdb17, DataDirection::kIn, 0, 0, out));
    Bytes shortOut(layout.requestLength - 1, 0xCC);
    EXPECT_FALSE(
        BuildPassThroughRequest(layout, std::span(cdb17).first(6), DataDirection::kIn, 0, 0, shortOut));
    EXPECT_EQ(out, Bytes(layout.requestLength, 0xCC)) << "nothing written";
    EXPECT_EQ(shortOut, Bytes(layout.requestLength - 1, 0xCC));
}

// The request as a driver hands it back after a check condition: status 2, fixed-format sense
// data (MEDIUM ERROR, unrecovered read error) in the sense area.
Bytes CheckConditionReply(const PassThroughLayout& layout) {
    const std::array<std::uint8_t, 10> read10 = {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    Bytes reply(512, 0);
    EXPECT_TRUE(BuildPassThroughRequest(layout, read10, DataDirection::kIn, 0x1000, 512, reply));
    reply[2] = 0x02;
    Put(reply, layout.senseArea, {0x70, 0, 0x03, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x11, 0x00});
    return reply;
}

std::string FailureTrace(const PassThroughLayout& layout, const Bytes& reply, std::size_t returned) {
    std::array<std::uint8_t, 32> sense{};
    const ScsiResult result = ParsePassThroughReply(layout, reply, returned, sense);
    return FormatFailureTrace(result, sense);
}

TEST(EmmcPassThroughReply, SenseDataIsReadWithTheCountsADriverReturns) {
    // A driver returns the sense offset plus the sense bytes: 48 + 24 and 60 + 24.
    const std::array<std::pair<std::size_t, std::size_t>, 2> cases = {{{4, 72}, {8, 84}}};
    for (const auto& [width, returned] : cases) {
        SCOPED_TRACE(width);
        const PassThroughLayout layout = PassThroughLayoutFor(width);
        const Bytes reply = CheckConditionReply(layout);
        std::array<std::uint8_t, 32> sense{};
        const ScsiResult result = ParsePassThroughReply(layout, reply, returned, sense);
        EXPECT_EQ(result.outcome, ScsiOutcome::kDeviceRejected);
        EXPECT_EQ(result.status, 0x02);
        EXPECT_EQ(result.senseLength, 24u);
        EXPECT_EQ(sense[0], 0x70);
        EXPECT_EQ(FormatFailureTrace(result, sense), "SCSIStatus=0x02,SenseKey=0x3,ASC=0x11,ASCQ=0x00");

        EXPECT_EQ(FailureTrace(layout, reply, returned - 1), "SCSIStatus=0x02")
            << "sense bytes beyond what was returned are not read";
        EXPECT_EQ(FailureTrace(layout, reply, layout.requestLength),
                  "SCSIStatus=0x02,SenseKey=0x3,ASC=0x11,ASCQ=0x00");
    }
}

TEST(EmmcPassThroughReply, StatusNeedsTheWholeStructureAndSenseNeedsACheckCondition) {
    for (std::size_t width : {4u, 8u}) {
        SCOPED_TRACE(width);
        const PassThroughLayout layout = PassThroughLayoutFor(width);
        Bytes reply = CheckConditionReply(layout);
        std::array<std::uint8_t, 32> sense{};
        EXPECT_EQ(ParsePassThroughReply(layout, reply, layout.structLength - 1, sense).outcome,
                  ScsiOutcome::kTransportFailed);

        reply[2] = 0x08;  // BUSY: no sense data is taken
        ScsiResult result = ParsePassThroughReply(layout, reply, layout.requestLength, sense);
        EXPECT_EQ(result.outcome, ScsiOutcome::kDeviceRejected);
        EXPECT_EQ(result.senseLength, 0u);

        reply[2] = 0x00;
        result = ParsePassThroughReply(layout, reply, layout.structLength, sense);
        EXPECT_EQ(result.outcome, ScsiOutcome::kGood);

        // A sense offset pointing into the structure, or a count past the reply, yields no sense.
        reply = CheckConditionReply(layout);
        reply[layout.senseInfoOffset] = 0;
        EXPECT_EQ(FailureTrace(layout, reply, layout.requestLength), "SCSIStatus=0x02");
        reply = CheckConditionReply(layout);
        EXPECT_EQ(FailureTrace(layout, Bytes(reply.begin(), reply.begin() + 70), 512), "SCSIStatus=0x02");
    }
}

}  // namespace
}  // namespace tarnwick::testing
