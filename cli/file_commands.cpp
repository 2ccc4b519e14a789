#include "cli/file_commands.h"

#include <iostream>

#include "cli/console_host.h"
#include "cli/failures.h"
#include "cli/options.h"
#include "configfile/config_messages.h"
#include "platform/save_target.h"
#include "ui/marlinq_dlg.h"

namespace marlinq::cli {

namespace {

constexpr const char* kConvertArguments = "FILE --out FILE2";

}  // namespace

int RunConvert(const Args& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(args, {TextOption("--out")}, &parsed, &error)) {
        return UsageError("convert", kConvertArguments, error, err);
    }
    const std::string target = parsed.Text("--out");
    if (parsed.rest.size() != 1 || parsed.rest.front().empty() || target.empty()) {
        return UsageError("convert", kConvertArguments, "FILE and --out FILE2 are both needed", err);
    }
    const std::string source = parsed.rest.front();
    // The window's log goes where the document does not: a document printed on standard output
    // stays whole, so that it can be piped or redirected.
    CConsoleHost host(platform::SavesToStandardOutput(target) ? err : out);
    if (!host.Start()) {
        return Fail("the main window did not start", err);
    }
    const int code = host.Main().Call([&](fw::CDialog* d) {
        auto* dlg = static_cast<CMarlinqDlg*>(d);
        if (dlg == nullptr) {
            return Fail("the main window is gone", err);
        }
        if (!dlg->LoadXmlConfig(source)) {
            return Fail(configfile::LoadFailureLine(source, dlg->LastConfigFailure()), err);
        }
        if (!dlg->SaveXmlConfig(target)) {
            return Fail("cannot write " + target + ": " + dlg->LastConfigFailure(), err);
        }
        return static_cast<int>(kExitDone);
    });
    const int closed = host.Close();
    return code == kExitDone && closed != 0 ? kExitFailed : code;
}

int RunConvertCommand(const Args& args) {
    return RunConvert(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
