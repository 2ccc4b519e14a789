// Tarnwick.dll as a host program sees it: loaded by name, its entry point's debug lines (caught as
// the exceptions OutputDebugStringA raises), and the exports found by name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex g_linesLock;
std::vector<std::string> g_lines;

LONG CALLBACK CatchDebugString(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
        const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        std::string line(text, length > 0 ? length - 1 : 0);  // the count includes the NUL
        std::lock_guard<std::mutex> lock(g_linesLock);
        g_lines.push_back(line);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> lock(g_linesLock);
    return g_lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(EmmcDll, EntryPointLinesAndExportsByName) {
    PVOID handler = AddVectoredExceptionHandler(1, CatchDebugString);
    ASSERT_NE(handler, nullptr);

    HMODULE dll = LoadLibraryA("Tarnwick.dll");
    ASSERT_NE(dll, nullptr);
    const std::vector<std::string> loaded = Lines();
    ASSERT_FALSE(loaded.empty());
    EXPECT_EQ(loaded.front(), "Tarnwick.dll process attach version:1.0,modify 2011-08-17");

    std::thread([] {}).join();
    const std::vector<std::string> afterThread = Lines();
    EXPECT_TRUE(Contains(afterThread, "Tarnwick.dll thread attach"));
    EXPECT_TRUE(Contains(afterThread, "Tarnwick.dll thread detach"));

    for (const char* name :
         {"OpenUsbMassStorageDevice", "OpenUsbEMMCDevice", "CloseUsbEMMCDevice", "IsEMMCUDiskExist",
          "IsUsbMassStorageExist", "SendSCSI", "SendSCSIDataToDevice", "SendSCSIWithBufferToRead",
          "SendSCSIWithBufferToWrite", "SendReadCapacityCommand", "SendModeSense3FCommand",
          "SendSyncCacheCommand", "SendMediaRemovalCommand", "ReadFromEMMC", "WriteFileToEMMC"}) {
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    }
    using Command = int (*)();
    using Close = int (*)();
    auto sync =
        reinterpret_cast<Command>(reinterpret_cast<void*>(GetProcAddress(dll, "SendSyncCacheCommand")));
    auto close = reinterpret_cast<Close>(reinterpret_cast<void*>(GetProcAddress(dll, "CloseUsbEMMCDevice")));
    ASSERT_NE(sync, nullptr);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(sync(), -1) << "no device is open";
    EXPECT_EQ(close(), 0);

    ASSERT_TRUE(FreeLibrary(dll));
    RemoveVectoredExceptionHandler(handler);
    const std::vector<std::string> unloaded = Lines();
    ASSERT_FALSE(unloaded.empty());
    EXPECT_EQ(unloaded.back(), "Tarnwick.dll process detach");
}

}  // namespace
