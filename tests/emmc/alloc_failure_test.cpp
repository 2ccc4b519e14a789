// A program of its own: it replaces the global operator new so that allocations can be made to
// fail, and checks that an allocation failure inside the library comes out of the exports as -1.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "emmc_fixture.h"

namespace {

std::atomic<bool> g_failAllocations{false};

void* Allocate(std::size_t size) {
    if (g_failAllocations.load()) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

// Every allocation fails while an instance lives; results are checked after it is gone.
class FailingAllocations {
  public:
    FailingAllocations() { g_failAllocations = true; }
    ~FailingAllocations() { g_failAllocations = false; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace tarnwick::testing {
namespace {

using EmmcAllocationFailure = EmmcTest;

TEST_F(EmmcAllocationFailure, WriteWithATailFailsWhenItsBufferCannotBeAllocated) {
    OpenEmmc();
    std::vector<std::uint8_t> data(700, 0x5A);
    int result = 0;
    {
        FailingAllocations failing;
        result = WriteFileToEMMC(3, data.data(), 700);
    }
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(disk.commands.empty()) << "nothing is sent without the tail buffer";
    ASSERT_EQ(WriteFileToEMMC(3, data.data(), 700), 0);
    EXPECT_EQ(disk.storage[3 * 512], 0x5A);
    EXPECT_EQ(disk.storage[3 * 512 + 700], 0x00) << "zero-padded tail";
}

TEST_F(EmmcAllocationFailure, CommandFailsWhenItsTraceLineCannotBeAllocated) {
    OpenEmmc();
    unsigned char buffer[512];
    int sync = 0, read = 0;
    {
        FailingAllocations failing;
        sync = SendSyncCacheCommand();
        read = ReadFromEMMC(0, buffer, 1);
    }
    EXPECT_EQ(sync, -1);
    EXPECT_EQ(read, -1);
    EXPECT_TRUE(disk.commands.empty());
    EXPECT_EQ(SendSyncCacheCommand(), 0);
}

TEST_F(EmmcAllocationFailure, LookupFailsWhenTheDriveListCannotBeAllocated) {
    disk.drives = {EmmcDrive('E')};
    int exists = 0, open = 0;
    {
        FailingAllocations failing;
        exists = IsEMMCUDiskExist();
        open = OpenUsbEMMCDevice();
    }
    EXPECT_EQ(exists, -1);
    EXPECT_EQ(open, -1);
    EXPECT_TRUE(disk.opened.empty());
    EXPECT_EQ(IsEMMCUDiskExist(), 0);
    EXPECT_EQ(OpenUsbEMMCDevice(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
