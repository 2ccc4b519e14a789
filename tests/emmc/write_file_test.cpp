// WriteFileToEMMC: chunks of 128 sectors, a zero-padded tail, stopping at the first failure.
#include <numeric>

#include "emmc_fixture.h"

namespace tarnwick::testing {
namespace {

class EmmcWriteFile : public EmmcTest {
  protected:
    void SetUp() override {
        EmmcTest::SetUp();
        OpenEmmc();
        std::fill(disk.storage.begin(), disk.storage.end(), std::uint8_t{0xEE});
    }

    static Bytes Pattern(std::size_t length) {
        Bytes data(length);
        std::iota(data.begin(), data.end(), std::uint8_t{1});
        return data;
    }

    Bytes Sectors(std::size_t first, std::size_t count) const {
        return Bytes(disk.storage.begin() + static_cast<std::ptrdiff_t>(first * 512),
                     disk.storage.begin() + static_cast<std::ptrdiff_t>((first + count) * 512));
    }
};

TEST_F(EmmcWriteFile, LengthZeroSendsNothing) {
    Bytes data = Pattern(512);
    EXPECT_EQ(WriteFileToEMMC(5, data.data(), 0), 0);
    EXPECT_EQ(WriteFileToEMMC(5, nullptr, 0), 0);
    EXPECT_TRUE(disk.commands.empty());
}

TEST_F(EmmcWriteFile, OneWholeChunkIsOneWriteFromTheCallersBuffer) {
    Bytes data = Pattern(65536);
    ASSERT_EQ(WriteFileToEMMC(10, data.data(), 65536), 0);
    const RecordedCommand& write = OnlyCommand();
    EXPECT_EQ(write.cdb, (Bytes{0x2A, 0, 0, 0, 0, 10, 0, 0, 0x80, 0}));
    EXPECT_EQ(write.direction, DataDirection::kOut);
    EXPECT_EQ(write.data, data.data());
    EXPECT_EQ(write.dataLength, 65536u);
    EXPECT_EQ(Sectors(10, 128), data);
    EXPECT_EQ(Sectors(138, 1), Bytes(512, 0xEE)) << "nothing beyond the chunk";
}

TEST_F(EmmcWriteFile, PartialTailIsPaddedWithZeros) {
    Bytes data = Pattern(70000);
    ASSERT_EQ(WriteFileToEMMC(20, data.data(), 70000), 0);
    ASSERT_EQ(disk.commands.size(), 2u);
    EXPECT_EQ(disk.commands[0].cdb, (Bytes{0x2A, 0, 0, 0, 0, 20, 0, 0, 128, 0}));
    EXPECT_EQ(disk.commands[1].cdb, (Bytes{0x2A, 0, 0, 0, 0, 148, 0, 0, 9, 0}));
    EXPECT_EQ(disk.commands[1].dataLength, 9u * 512);

    Bytes expected = data;
    expected.resize(137 * 512, 0);  // the last 144 bytes of sector 9 of the tail are zero
    EXPECT_EQ(Sectors(20, 137), expected);
    EXPECT_EQ(Sectors(157, 1), Bytes(512, 0xEE));
}

TEST_F(EmmcWriteFile, ExactMultipleOfTheChunkHasNoTail) {
    Bytes data = Pattern(2 * 65536);
    ASSERT_EQ(WriteFileToEMMC(0, data.data(), 2 * 65536), 0);
    ASSERT_EQ(disk.commands.size(), 2u);
    EXPECT_EQ(disk.commands[1].cdb, (Bytes{0x2A, 0, 0, 0, 0, 128, 0, 0, 128, 0}));
    EXPECT_EQ(Sectors(0, 256), data);
}

TEST_F(EmmcWriteFile, FailedChunkStopsTheWriteAndKeepsEarlierChunks) {
    Bytes data = Pattern(3 * 65536 + 100);
    disk.faults[1] = ScsiOutcome::kDeviceRejected;
    EXPECT_EQ(WriteFileToEMMC(0, data.data(), static_cast<unsigned long>(data.size())), -1);
    EXPECT_EQ(disk.commands.size(), 2u) << "nothing is sent after the rejected chunk";
    EXPECT_EQ(Sectors(0, 128), Bytes(data.begin(), data.begin() + 65536));
    EXPECT_EQ(Sectors(128, 1), Bytes(512, 0xEE));
}

TEST_F(EmmcWriteFile, RangesBeyondThe32BitLbaAreRefusedUnsent) {
    Bytes data = Pattern(1024);
    EXPECT_EQ(WriteFileToEMMC(0xFFFFFFFFUL, data.data(), 513), -1);
    EXPECT_EQ(WriteFileToEMMC(5, nullptr, 512), -1);
    EXPECT_TRUE(disk.commands.empty());
    EXPECT_EQ(WriteFileToEMMC(0xFFFFFFFFUL, data.data(), 512), -1) << "sent, and rejected by the small fake";
    EXPECT_EQ(OnlyCommand().cdb, (Bytes{0x2A, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0}));
    if constexpr (sizeof(unsigned long) > 4) {
        disk.commands.clear();
        EXPECT_EQ(WriteFileToEMMC(static_cast<unsigned long>(0x100000000ULL), data.data(), 512), -1);
        // 2^32 sectors from LBA 1 would run past the last LBA; the data pointer is never read.
        EXPECT_EQ(WriteFileToEMMC(1, data.data(), static_cast<unsigned long>(0x20000000000ULL)), -1);
        EXPECT_TRUE(disk.commands.empty());
    }
}

}  // namespace
}  // namespace tarnwick::testing
