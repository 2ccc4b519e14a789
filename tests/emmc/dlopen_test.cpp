// Loads the built shared library and resolves its exports by name. The program defines syslog
// itself (and exports it), so the library's load and unload lines land here.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <syslog.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, std::string>> g_syslogLines;

void Record(int priority, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    g_syslogLines.emplace_back(priority, text);
}

}  // namespace

extern "C" void syslog(int priority, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(priority, format, args);
    va_end(args);
}

// The name glibc's fortified headers route syslog to.
extern "C" void __syslog_chk(int priority, int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(priority, format, args);
    va_end(args);
}

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

TEST(EmmcLibraryLifecycle, LoadAndUnloadWriteDebugLinesToTheSystemLog) {
    g_syslogLines.clear();
    void* handle = dlopen(TARNWICK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    ASSERT_EQ(g_syslogLines.size(), 1u);
    EXPECT_EQ(g_syslogLines[0].first, LOG_USER | LOG_DEBUG);
    EXPECT_EQ(g_syslogLines[0].second, "Tarnwick.dll process attach version:1.0,modify 2011-08-17");
    ASSERT_EQ(dlclose(handle), 0);
    ASSERT_EQ(g_syslogLines.size(), 2u) << "the library was not unloaded";
    EXPECT_EQ(g_syslogLines[1].first, LOG_USER | LOG_DEBUG);
    EXPECT_EQ(g_syslogLines[1].second, "Tarnwick.dll process detach");
}

}  // namespace
