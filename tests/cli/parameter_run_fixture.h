// get and download run in this process against the simulator on the scaled clock, their output
// captured; each run starts from the defaults, not from the Config.xml the last one left.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>

#include "cli/parameter_commands.h"
#include "platform/app_directory.h"
#include "tests/support/sim_fixture.h"

namespace marlinq::cli {

class ParameterRunTest : public testsupport::SimulatorTest {
  protected:
    int Get(const Args& args) {
        FreshStart();
        return RunGet(args, out, err);
    }
    int Download(const Args& args) {
        FreshStart();
        m_sim.ClearRequests();
        return RunDownload(args, out, err);
    }
    // Every run closes the window, which writes Config.xml, and the next run would load it.
    void FreshStart() {
        out.str("");
        err.str("");
        std::error_code ec;
        std::filesystem::remove(platform::GetAppDirectory() + "Config.xml", ec);
    }

    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace marlinq::cli
