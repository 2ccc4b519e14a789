// A running module simulator with its ADB interface on or off, for the ADB transfer tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "simulator/dtu_simulator.h"

namespace testsupport {

inline std::unique_ptr<sim::DtuSimulator> StartAdbModule(bool adbOn) {
    auto s = std::make_unique<sim::DtuSimulator>();
    sim::SimulatorOptions options;
    options.adbEnabled = adbOn;
    std::string error;
    EXPECT_TRUE(s->Start(options, &error)) << error;
    return s;
}

}  // namespace testsupport
