// The fixed commands and sector reads: CDBs byte for byte, buffers and 32-bit LBA limits.
#include <numeric>

#include "emmc_fixture.h"

namespace tarnwick::testing {
namespace {

using EmmcCommands = EmmcTest;

TEST_F(EmmcCommands, FixedCommandsSendTheirCdbs) {
    OpenEmmc();
    unsigned char capacity[512];
    ASSERT_EQ(SendModeSense3FCommand(), 0);
    ASSERT_EQ(SendSyncCacheCommand(), 0);
    ASSERT_EQ(SendMediaRemovalCommand(), 0);
    ASSERT_EQ(SendReadCapacityCommand(capacity, sizeof capacity), 0);
    ASSERT_EQ(disk.commands.size(), 4u);

    EXPECT_EQ(disk.commands[0].cdb, (Bytes{0x1A, 0x00, 0x3F, 0x00, 0x0C, 0x00}));
    EXPECT_EQ(disk.commands[0].direction, DataDirection::kIn);
    EXPECT_EQ(disk.commands[0].data, DefaultDataBuffer().data());
    EXPECT_EQ(disk.commands[0].dataLength, 512u);

    EXPECT_EQ(disk.commands[1].cdb, (Bytes{0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(disk.commands[1].direction, DataDirection::kOut);
    EXPECT_EQ(disk.commands[1].dataLength, 0u);

    EXPECT_EQ(disk.commands[2].cdb, (Bytes{0x1E, 0x00, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(disk.commands[2].direction, DataDirection::kOut);
    EXPECT_EQ(disk.commands[2].dataLength, 0u);

    EXPECT_EQ(disk.commands[3].cdb, (Bytes{0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(disk.commands[3].direction, DataDirection::kIn);
    EXPECT_EQ(disk.commands[3].data, capacity);
}

TEST_F(EmmcCommands, ReadCapacityNeedsASectorSizedBuffer) {
    OpenEmmc();
    unsigned char buffer[512] = {};
    EXPECT_EQ(SendReadCapacityCommand(buffer, 8), -1);
    EXPECT_EQ(SendReadCapacityCommand(buffer, 0), -1);
    EXPECT_EQ(SendReadCapacityCommand(nullptr, 512), -1);
    EXPECT_TRUE(disk.commands.empty());
    ASSERT_EQ(SendReadCapacityCommand(buffer, 512), 0);
    // 4096 sectors: last LBA 0x00000FFF, block length 0x00000200, big-endian.
    EXPECT_EQ(Bytes(buffer, buffer + 8), (Bytes{0x00, 0x00, 0x0F, 0xFF, 0x00, 0x00, 0x02, 0x00}));
}

TEST_F(EmmcCommands, ReadMovesOneTo255Sectors) {
    OpenEmmc();
    std::iota(disk.storage.begin(), disk.storage.end(), std::uint8_t{7});
    Bytes buffer(255 * 512, 0);
    EXPECT_EQ(ReadFromEMMC(3, buffer.data(), 0), -1);
    EXPECT_EQ(ReadFromEMMC(3, nullptr, 1), -1);
    EXPECT_TRUE(disk.commands.empty());

    ASSERT_EQ(ReadFromEMMC(3, buffer.data(), 255), 0);
    const RecordedCommand& read = OnlyCommand();
    EXPECT_EQ(read.cdb, (Bytes{0x28, 0, 0, 0, 0, 3, 0, 0, 0xFF, 0}));
    EXPECT_EQ(read.dataLength, 130560u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), disk.storage.begin() + 3 * 512));
}

TEST_F(EmmcCommands, LbaIsWrittenMostSignificantByteFirst) {
    OpenEmmc();
    unsigned char buffer[512];
    EXPECT_EQ(ReadFromEMMC(16909060, buffer, 1), -1) << "beyond the end of the fake disk";
    const RecordedCommand& read = OnlyCommand();
    EXPECT_EQ(read.cdb, (Bytes{0x28, 0, 0x01, 0x02, 0x03, 0x04, 0, 0, 0x01, 0}));
}

TEST_F(EmmcCommands, ReadsBeyondThe32BitLbaAreRefusedUnsent) {
    OpenEmmc();
    Bytes buffer(2 * 512);
    EXPECT_EQ(ReadFromEMMC(0xFFFFFFFFUL, buffer.data(), 2), -1);
    EXPECT_TRUE(disk.commands.empty());
    EXPECT_EQ(ReadFromEMMC(0xFFFFFFFFUL, buffer.data(), 1), -1) << "sent, and rejected by the small fake";
    EXPECT_EQ(OnlyCommand().cdb, (Bytes{0x28, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x01, 0}));
    if constexpr (sizeof(unsigned long) > 4) {
        disk.commands.clear();
        EXPECT_EQ(ReadFromEMMC(static_cast<unsigned long>(0x100000000ULL), buffer.data(), 1), -1);
        EXPECT_EQ(ReadFromEMMC(static_cast<unsigned long>(0x100000003ULL), buffer.data(), 1), -1);
        EXPECT_TRUE(disk.commands.empty()) << "a 64-bit LBA is never truncated to 32 bits";
    }
}

}  // namespace
}  // namespace tarnwick::testing
