// The Linux backend against a sysfs and /dev tree laid out in a temporary directory, the mount
// table parser and the SG_IO completion rules.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "device_text.h"  // kMaxDeviceText
#include "drive_lookup.h"
#include "mounts_linux.h"
#include "scsi_linux.h"
#include "sg_status_linux.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class EmmcLinuxSysfs : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tarnwick-sysfs-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "dev");
    }
    void TearDown() override { fs::remove_all(root_); }

    void Write(const fs::path& relative, const std::string& text) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << text;
    }

    void AddDisk(const std::string& name, const std::string& removable, const char* vendor,
                 const char* model) {
        Write("block/" + name + "/removable", removable);
        if (vendor != nullptr) {
            Write("block/" + name + "/device/vendor", vendor);
        }
        if (model != nullptr) {
            Write("block/" + name + "/device/model", model);
        }
    }

    LinuxScsiTransport Transport() {
        return LinuxScsiTransport((root_ / "block").string(), (root_ / "dev").string());
    }

    fs::path root_;
};

TEST_F(EmmcLinuxSysfs, RemovableSdDisksAreListedInLetterOrder) {
    AddDisk("sdd", "1\n", std::string(200, 'V').c_str(), "Reader\n");
    AddDisk("sda", "0\n", "Qualcomm\n", "MMC Storage     \n");
    AddDisk("sdc", "1\n", "Qualcomm\n", nullptr);
    AddDisk("sdb", "1\n", "Qualcomm\n", "MMC Storage     \n");
    AddDisk("sdaa", "1\n", "Qualcomm\n", "MMC Storage\n");
    AddDisk("mmcblk0", "1\n", "Qualcomm\n", "MMC Storage\n");
    AddDisk("sde", "1\n", "   \n", "\0hidden");

    const std::vector<DriveInfo> drives = Transport().ListRemovableDrives();
    ASSERT_EQ(drives.size(), 4u);
    EXPECT_EQ(drives[0].letter, 'B');
    EXPECT_EQ(drives[0].vendor, "Qualcomm");
    EXPECT_EQ(drives[0].product, "MMC Storage");
    EXPECT_EQ(drives[1].letter, 'C');
    EXPECT_FALSE(drives[1].product);
    EXPECT_EQ(drives[2].letter, 'D');
    EXPECT_EQ(drives[2].vendor, std::string(kMaxDeviceText, 'V')) << "over-long strings are cut";
    EXPECT_EQ(drives[3].letter, 'E');
    EXPECT_FALSE(drives[3].vendor);
    EXPECT_FALSE(drives[3].product);
}

TEST_F(EmmcLinuxSysfs, LookupFindsTheRemovableEmmcOnly) {
    AddDisk("sda", "0\n", "Qualcomm\n", "MMC Storage\n");
    AddDisk("sdc", "1\n", "Qualcomm\n", nullptr);
    AddDisk("sdd", "1\n", "Qualcomm\n", "MMC Storage\n");
    LinuxScsiTransport transport = Transport();
    EXPECT_EQ(FindMassStorageDrive(transport, "Qual", "Storage"), 'D');
    EXPECT_EQ(FindMassStorageDrive(transport, "QUALCOMM", "Storage"), std::nullopt);
}

TEST_F(EmmcLinuxSysfs, OpenRefusesFixedDisksAndNodesThatAreNotBlockDevices) {
    AddDisk("sda", "0\n", "Qualcomm\n", "MMC Storage\n");
    AddDisk("sdb", "1\n", "Qualcomm\n", "MMC Storage\n");
    Write("dev/sda", "not a disk");
    Write("dev/sdb", "not a disk");
    LinuxScsiTransport transport = Transport();
    EXPECT_EQ(transport.Open('A'), kNoDevice) << "not removable";
    EXPECT_EQ(transport.Open('b'), kNoDevice) << "a regular file";
    EXPECT_EQ(transport.Open('C'), kNoDevice) << "no such disk";
    EXPECT_EQ(transport.Open('#'), kNoDevice);
}

TEST_F(EmmcLinuxSysfs, SendOnADescriptorThatIsNotAScsiDeviceFails) {
    Write("dev/plain", std::string(512, 'x'));
    const int fd = ::open((root_ / "dev/plain").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const std::uint8_t cdb[6] = {0x00};
    std::uint8_t sense[32] = {};
    ScsiRequest request;
    request.cdb = cdb;
    request.sense = sense;
    const ScsiResult result = Transport().Send(fd, request);
    ::close(fd);
    EXPECT_EQ(result.outcome, ScsiOutcome::kTransportFailed);
}

TEST(EmmcLinuxMountTable, MountsOfTheDiskAndItsPartitionsAreFound) {
    const std::string table =
        "/dev/vda1 / ext4 rw 0 0\n"
        "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
        "/dev/sdba1 /media/other vfat rw 0 0\n"
        "/dev/sdb /mnt/raw ext2 rw 0 0\n"
        "/dev/sdb2x /mnt/odd ext2 rw 0 0\n"
        "/dev/sd /mnt/short ext2 rw 0 0\n"
        "/dev/sdb3\n"
        "/dev/sdb4 /mnt/" +
        std::string(5000, 'x') +
        " ext2 rw 0 0\n"
        "/dev/sdb5 /mnt/last vfat rw 0 0";
    EXPECT_EQ(MountPointsOfDisk(table, "/dev/sdb"),
              (std::vector<std::string>{"/media/usb stick", "/mnt/raw", "/mnt/last"}));
    EXPECT_TRUE(MountPointsOfDisk(table, "").empty());
    EXPECT_EQ(UnescapeMountField("a\\011b\\134c\\9d\\04"), "a\tb\\c\\9d\\04");
}

struct SgCase {
    std::uint8_t status;
    std::uint16_t host;
    std::uint16_t driver;
    ScsiOutcome expected;
};

TEST(EmmcLinuxSgCompletion, ErrorsOfHostOrDriverAndNonGoodStatusAreFailures) {
    const SgCase cases[] = {
        {0x00, 0x00, 0x00, ScsiOutcome::kGood},
        {0x00, 0x00, 0x08, ScsiOutcome::kGood},             // sense data with GOOD (recovered error)
        {0x02, 0x00, 0x08, ScsiOutcome::kDeviceRejected},   // check condition
        {0x08, 0x00, 0x00, ScsiOutcome::kDeviceRejected},   // busy
        {0x18, 0x00, 0x00, ScsiOutcome::kDeviceRejected},   // reservation conflict
        {0x00, 0x07, 0x00, ScsiOutcome::kTransportFailed},  // DID_ERROR
        {0x00, 0x03, 0x00, ScsiOutcome::kTransportFailed},  // DID_TIME_OUT
        {0x00, 0x00, 0x06, ScsiOutcome::kTransportFailed},  // DRIVER_TIMEOUT
        {0x02, 0x00, 0x28, ScsiOutcome::kDeviceRejected},   // sense with a suggestion bit
    };
    for (const SgCase& c : cases) {
        EXPECT_EQ(ClassifySgCompletion(c.status, c.host, c.driver, 0, 32).outcome, c.expected)
            << "status " << int{c.status} << " host " << c.host << " driver " << c.driver;
    }
    EXPECT_EQ(ClassifySgCompletion(0x02, 0, 0x08, 40, 32).senseLength, 32u);
    EXPECT_EQ(ClassifySgCompletion(0x02, 0, 0x08, 18, 32).senseLength, 18u);
}

}  // namespace
}  // namespace tarnwick
