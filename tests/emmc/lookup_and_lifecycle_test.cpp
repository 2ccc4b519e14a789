// Finding the drive by its strings, opening, replacing and closing the device.
#include "emmc_fixture.h"

namespace tarnwick::testing {
namespace {

using EmmcLookup = EmmcTest;
using EmmcLifecycle = EmmcTest;

TEST_F(EmmcLookup, FirstMatchingDriveInLetterOrderIsOpenedAndDismounted) {
    disk.drives = {DriveInfo{'C', "Generic", "Flash Disk"}, EmmcDrive('E'), EmmcDrive('G')};
    ASSERT_EQ(OpenUsbEMMCDevice(), 0);
    EXPECT_EQ(disk.opened, std::vector<char>{'E'});
    ASSERT_EQ(disk.openHandles.size(), 1u);
    EXPECT_EQ(disk.dismounted, std::vector<DeviceHandle>{*disk.openHandles.begin()});
}

TEST_F(EmmcLookup, DriveMissingAStringIsPassedOver) {
    disk.drives = {DriveInfo{'D', "Qualcomm", std::nullopt}, DriveInfo{'E', std::nullopt, "MMC Storage"},
                   EmmcDrive('F')};
    ASSERT_EQ(OpenUsbEMMCDevice(), 0);
    EXPECT_EQ(disk.opened, std::vector<char>{'F'});
}

TEST_F(EmmcLookup, StringsMatchAsCaseSensitiveSubstrings) {
    disk.drives = {DriveInfo{'E', "Qualcomm", "MMC Storage      "}};
    char qual[] = "Qual", storage[] = "Storage", lowerVendor[] = "qualcomm", mmc[] = "MMC Storage",
         lowerProduct[] = "mmc storage", empty[] = "";
    EXPECT_EQ(IsUsbMassStorageExist(qual, storage), 0);
    EXPECT_EQ(IsUsbMassStorageExist(empty, empty), 0);
    EXPECT_EQ(IsUsbMassStorageExist(lowerVendor, mmc), -1);
    EXPECT_EQ(IsUsbMassStorageExist(qual, lowerProduct), -1);
    EXPECT_EQ(IsUsbMassStorageExist(nullptr, storage), -1);
    EXPECT_EQ(IsUsbMassStorageExist(qual, nullptr), -1);
    EXPECT_EQ(IsEMMCUDiskExist(), 0);
    EXPECT_TRUE(disk.opened.empty()) << "looking up a drive opens nothing";
}

TEST_F(EmmcLookup, NoMatchingDriveFailsEveryLookup) {
    disk.drives = {DriveInfo{'E', "Qualcomm", "SD Card"}};
    EXPECT_EQ(IsEMMCUDiskExist(), -1);
    EXPECT_EQ(OpenUsbEMMCDevice(), -1);
    EXPECT_TRUE(disk.openAttempts.empty());
}

TEST_F(EmmcLifecycle, CloseBeforeOpenAndCloseTwiceCloseNothingExtra) {
    EXPECT_EQ(CloseUsbEMMCDevice(), 0);
    EXPECT_TRUE(disk.closed.empty());
    OpenEmmc();
    const DeviceHandle handle = *disk.openHandles.begin();
    EXPECT_EQ(CloseUsbEMMCDevice(), 0);
    EXPECT_EQ(CloseUsbEMMCDevice(), 0);
    EXPECT_EQ(disk.closed, std::vector<DeviceHandle>{handle});
}

TEST_F(EmmcLifecycle, CommandsWithoutAnOpenDeviceNeverReachTheDriver) {
    unsigned char buffer[512] = {};
    EXPECT_EQ(SendSyncCacheCommand(), -1);
    OpenEmmc();
    EXPECT_EQ(SendSyncCacheCommand(), 0);
    CloseUsbEMMCDevice();
    disk.commands.clear();
    disk.traces.clear();
    EXPECT_EQ(SendSyncCacheCommand(), -1);
    EXPECT_EQ(SendModeSense3FCommand(), -1);
    EXPECT_EQ(SendReadCapacityCommand(buffer, sizeof buffer), -1);
    EXPECT_EQ(ReadFromEMMC(0, buffer, 1), -1);
    EXPECT_EQ(WriteFileToEMMC(0, buffer, sizeof buffer), -1);
    EXPECT_TRUE(disk.commands.empty());
    EXPECT_TRUE(disk.traces.empty());
}

TEST_F(EmmcLifecycle, OpeningAnotherDriveClosesTheEarlierOne) {
    disk.drives = {EmmcDrive('E'), DriveInfo{'G', "Generic", "Flash Disk"}};
    ASSERT_EQ(OpenUsbEMMCDevice(), 0);
    const DeviceHandle first = *disk.openHandles.begin();
    ASSERT_EQ(OpenUsbMassStorageDevice('G'), 0);
    EXPECT_EQ(disk.closed, std::vector<DeviceHandle>{first});
    ASSERT_EQ(disk.openHandles.size(), 1u);
    EXPECT_EQ(SendSyncCacheCommand(), 0) << "commands go to the drive opened last";
}

TEST_F(EmmcLifecycle, FailedOpenKeepsTheDeviceThatIsOpen) {
    OpenEmmc();
    EXPECT_EQ(OpenUsbMassStorageDevice('Q'), -1);
    EXPECT_EQ(OpenUsbMassStorageDevice('1'), -1);
    EXPECT_EQ(OpenUsbMassStorageDevice('\0'), -1);
    EXPECT_EQ(disk.openAttempts, (std::vector<char>{'E', 'Q'}))
        << "characters that are not letters are refused";
    EXPECT_TRUE(disk.closed.empty());
    EXPECT_EQ(SendSyncCacheCommand(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
