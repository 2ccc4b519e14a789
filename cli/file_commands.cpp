#include "cli/file_commands.h"

#include <iostream>

#include "cli/console_host.h"
#include "ui/marlinq_dlg.h"

namespace marlinq::cli {

namespace {

int ConvertUsage(const std::string& why, std::ostream& err) {
    err << "marlinq-cli convert: " << why << "\nusage: marlinq-cli convert FILE --out FILE2\n";
    return 2;
}

}  // namespace

int RunConvert(const Args& args, std::ostream& out, std::ostream& err) {
    std::string source;
    std::string target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size() && target.empty()) {
            target = args[++i];
        } else if (source.empty() && !args[i].empty() && args[i].rfind("--", 0) != 0) {
            source = args[i];
        } else {
            return ConvertUsage("unexpected argument " + args[i], err);
        }
    }
    if (source.empty() || target.empty()) {
        return ConvertUsage("FILE and --out FILE2 are both needed", err);
    }
    CConsoleHost host(out);
    if (!host.Start()) {
        err << "marlinq-cli: the window did not start\n";
        return 1;
    }
    const int code = host.Main().Call([&](fw::CDialog* d) {
        auto* dlg = static_cast<CMarlinqDlg*>(d);
        if (dlg == nullptr || !dlg->LoadXmlConfig(source)) {
            err << "marlinq-cli: cannot load " << source << "\n";
            return 1;
        }
        if (!dlg->SaveXmlConfig(target)) {
            err << "marlinq-cli: cannot write " << target << "\n";
            return 1;
        }
        return 0;
    });
    const int closed = host.Close();
    return code == 0 && closed != 0 ? 1 : code;
}

int RunConvertCommand(const Args& args) {
    return RunConvert(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
