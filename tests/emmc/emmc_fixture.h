// Test fixture: the library's device state runs against a FakeDisk for the test's duration.
#pragma once

#include <gtest/gtest.h>

#include "device.h"
#include "fake_disk.h"
#include "tarnwick.h"

namespace tarnwick::testing {

class EmmcTest : public ::testing::Test {
  protected:
    void SetUp() override { InstallTransport(&disk); }

    void TearDown() override {
        CloseUsbEMMCDevice();
        InstallTransport(nullptr);
    }

    // Opens the eMMC disk on drive E and forgets what the open recorded.
    void OpenEmmc() {
        disk.drives = {EmmcDrive('E')};
        ASSERT_EQ(OpenUsbEMMCDevice(), 0);
        disk.commands.clear();
        disk.traces.clear();
    }

    const RecordedCommand& OnlyCommand() {
        EXPECT_EQ(disk.commands.size(), 1u);
        static const RecordedCommand none;
        return disk.commands.empty() ? none : disk.commands.front();
    }

    FakeDisk disk;
};

using Bytes = std::vector<std::uint8_t>;

}  // namespace tarnwick::testing
