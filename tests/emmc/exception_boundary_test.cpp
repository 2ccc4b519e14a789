// Every export catches what is thrown beneath it and returns -1: here a transport that throws
// std::bad_alloc from every operation it is asked for.
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "emmc_fixture.h"

namespace tarnwick::testing {
namespace {

class ThrowingTransport final : public ScsiTransport {
  public:
    int calls = 0;

    std::vector<DriveInfo> ListRemovableDrives() override { Throw(); }
    DeviceHandle Open(char) override { Throw(); }
    void Dismount(DeviceHandle) override { Throw(); }
    void Close(DeviceHandle) override { Throw(); }
    ScsiResult Send(DeviceHandle, const ScsiRequest&) override { Throw(); }
    void Trace(const char*) override { Throw(); }

  private:
    [[noreturn]] void Throw() {
        ++calls;
        throw std::bad_alloc();
    }
};

class EmmcExceptionBoundary : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallTransport(&transport);
        SetCurrentDevice(7);  // as if a drive were open, so that commands reach the transport
    }
    void TearDown() override {
        SetCurrentDevice(kNoDevice);
        InstallTransport(nullptr);
    }
    ThrowingTransport transport;
};

TEST_F(EmmcExceptionBoundary, EveryExportReturnsMinusOneWhenTheTransportThrows) {
    unsigned char cdb[10] = {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    unsigned char buffer[1024] = {};
    char vendor[] = "Qualcomm", product[] = "MMC Storage";
    const std::vector<std::pair<std::string, std::function<int()>>> exports = {
        {"OpenUsbMassStorageDevice", [&] { return OpenUsbMassStorageDevice('E'); }},
        {"OpenUsbEMMCDevice", [&] { return OpenUsbEMMCDevice(); }},
        {"IsEMMCUDiskExist", [&] { return IsEMMCUDiskExist(); }},
        {"IsUsbMassStorageExist", [&] { return IsUsbMassStorageExist(vendor, product); }},
        {"SendSCSI", [&] { return SendSCSI(cdb, 10); }},
        {"SendSCSIDataToDevice", [&] { return SendSCSIDataToDevice(cdb, 10); }},
        {"SendSCSIWithBufferToRead", [&] { return SendSCSIWithBufferToRead(cdb, 10, buffer, 512); }},
        {"SendSCSIWithBufferToWrite", [&] { return SendSCSIWithBufferToWrite(cdb, 10, buffer, 512); }},
        {"SendReadCapacityCommand", [&] { return SendReadCapacityCommand(buffer, 512); }},
        {"SendModeSense3FCommand", [&] { return SendModeSense3FCommand(); }},
        {"SendSyncCacheCommand", [&] { return SendSyncCacheCommand(); }},
        {"SendMediaRemovalCommand", [&] { return SendMediaRemovalCommand(); }},
        {"ReadFromEMMC", [&] { return ReadFromEMMC(0, buffer, 2); }},
        {"WriteFileToEMMC", [&] { return WriteFileToEMMC(0, buffer, 700); }},
        {"CloseUsbEMMCDevice", [&] { return CloseUsbEMMCDevice(); }},
    };
    for (const auto& [name, call] : exports) {
        const int before = transport.calls;
        EXPECT_EQ(call(), -1) << name;
        EXPECT_EQ(transport.calls, before + 1) << name << " reached the transport";
    }
    EXPECT_EQ(CurrentDevice(), 7) << "the failed close left the handle in place";
}

}  // namespace
}  // namespace tarnwick::testing
