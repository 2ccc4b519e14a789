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
    // The same runs paced by the answer (--pace answer): each transaction reads until its final
    // result line instead of sleeping its fixed pause, with the same requests and the same log.
    // A case may use them where what it checks (lines printed, files written, values refused,
    // exit codes, JSON) does not hang on the pauses; a case about a pause, a timing or the fixed
    // pacing's own behaviour keeps Get and Download, as does one case of each suite that checks a
    // full Get and a full Download on the default pacing.
    int GetByAnswer(Args args) {
        args.insert(args.end(), {"--pace", "answer"});
        return Get(args);
    }
    int DownloadByAnswer(Args args) {
        args.insert(args.end(), {"--pace", "answer"});
        return Download(args);
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
