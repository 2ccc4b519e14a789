// Loads the built shared library and resolves its exports by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

const char* const kExports[] = {
    "OpenUsbMassStorageDevice",  "OpenUsbEMMCDevice",
    "CloseUsbEMMCDevice",        "IsEMMCUDiskExist",
    "IsUsbMassStorageExist",     "SendSCSI",
    "SendSCSIDataToDevice",      "SendSCSIWithBufferToRead",
    "SendSCSIWithBufferToWrite", "SendReadCapacityCommand",
    "SendModeSense3FCommand",    "SendSyncCacheCommand",
    "SendMediaRemovalCommand",   "ReadFromEMMC",
    "WriteFileToEMMC",
};

class EmmcLoadedLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        handle_ = dlopen(TARNWICK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    template <typename F>
    F* Resolve(const char* name) {
        return reinterpret_cast<F*>(dlsym(handle_, name));
    }
    void* handle_ = nullptr;
};

TEST_F(EmmcLoadedLibrary, EveryExportResolvesByName) {
    for (const char* name : kExports) {
        EXPECT_NE(dlsym(handle_, name), nullptr) << name;
    }
    EXPECT_EQ(dlsym(handle_, "_ZN8tarnwick17PlatformTransportEv"), nullptr) << "internals stay hidden";
    EXPECT_EQ(dlsym(handle_, "_ZN8tarnwick16InstallTransportEPNS_13ScsiTransportE"), nullptr);
}

TEST_F(EmmcLoadedLibrary, ExportsFollowTheCallingOrderWithoutADevice) {
    auto* close = Resolve<int()>("CloseUsbEMMCDevice");
    auto* sync = Resolve<int()>("SendSyncCacheCommand");
    auto* sendScsi = Resolve<int(unsigned char*, unsigned int)>("SendSCSI");
    auto* read = Resolve<int(unsigned long, unsigned char*, unsigned char)>("ReadFromEMMC");
    ASSERT_TRUE(close && sync && sendScsi && read);
    unsigned char cdb[16] = {};
    unsigned char buffer[512] = {};
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(sync(), -1);
    EXPECT_EQ(sendScsi(cdb, 16), -1);
    EXPECT_EQ(read(0, buffer, 1), -1);
    EXPECT_EQ(close(), 0);
}

}  // namespace
