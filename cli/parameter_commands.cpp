// marlinq-cli get and download: each waits for the module to be ready (so that the scan's version
// read is over), applies every --set to its control in the order given, and presses Get or
// Download on the headless main window. The exit code comes from the flows' own outcome.
#include "cli/parameter_commands.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>
#include <vector>

#include "cli/console_host.h"
#include "cli/set_option.h"
#include "parameters/module_check.h"
#include "parameters/parameter_table.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq::cli {

namespace {

constexpr long kDefaultTimeoutSeconds = 30;
constexpr long kMaxTimeoutSeconds = 24 * 3600;

struct ParamOptions {
    long timeoutSeconds = kDefaultTimeoutSeconds;
    std::vector<SetOption> sets;
    std::string out;   // get: the parameter file to write
    std::string file;  // download: the parameter file to load first
    int page = -1;     // download: the mode page to download alone
    bool verify = false;
};

const char* const kPageNames[MODE_PAGE_COUNT] = {"tcp", "modbus", "https", "mqtt"};

// Parses the options a command allows; false with the reason.
bool ParseParamOptions(const Args& args, bool download, ParamOptions* o, std::string* error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--timeout" && hasValue) {
            char* end = nullptr;
            o->timeoutSeconds = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || args[i].empty() || o->timeoutSeconds < 1 ||
                o->timeoutSeconds > kMaxTimeoutSeconds) {
                *error = "--timeout takes seconds from 1 to " + std::to_string(kMaxTimeoutSeconds);
                return false;
            }
        } else if (a == "--set" && hasValue) {
            // One or more settings, up to the next option.
            if (args[i + 1].rfind("--", 0) == 0) {
                *error = "--set takes [DIALOG:]ID=VALUE";
                return false;
            }
            while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                SetOption set;
                if (!ParseSetOption(args[++i], &set, error)) {
                    return false;
                }
                o->sets.push_back(set);
            }
        } else if (!download && a == "--out" && hasValue) {
            o->out = args[++i];
        } else if (download && a == "--page" && hasValue) {
            const std::string& name = args[++i];
            for (int p = 0; p < MODE_PAGE_COUNT; ++p) {
                o->page = name == kPageNames[p] ? p : o->page;
            }
            if (o->page < 0) {
                *error = "--page takes tcp, modbus, https or mqtt";
                return false;
            }
        } else if (download && a == "--verify") {
            o->verify = true;
        } else if (download && o->file.empty() && !a.empty() && a.rfind("--", 0) != 0) {
            o->file = a;
        } else {
            *error = "unexpected argument " + a;
            return false;
        }
    }
    return true;
}

int Usage(const char* name, const std::string& why, std::ostream& err) {
    err << "marlinq-cli " << name << ": " << why << "\nusage: marlinq-cli "
        << (std::string(name) == "get"
                ? "get [--timeout S] [--set [DIALOG:]ID=VALUE ...] [--out FILE]"
                : "download [FILE] [--timeout S] [--page tcp|modbus|https|mqtt] [--set "
                  "[DIALOG:]ID=VALUE ...] [--verify]")
        << "\n";
    return kParamExitUsage;
}

// Starts the window and waits until Get is enabled: the scan found the module and its version
// read is over.
bool WaitForModule(CConsoleHost& host, long timeoutSeconds, std::ostream& err) {
    if (!host.Start()) {
        err << "marlinq-cli: the window did not start\n";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (!host.Main().Enabled(IDC_BTN_GET)) {
        if (host.Ended() || std::chrono::steady_clock::now() > deadline) {
            err << "marlinq-cli: no module ready within " << timeoutSeconds << " s\n";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

fw::CDialogDriver DialogDriver(CConsoleHost& host, unsigned dialog) {
    switch (dialog) {
        case IDD_TCP_MODE:
            return host.Page(MODE_PAGE_TCP);
        case IDD_MODBUS_MODE:
            return host.Page(MODE_PAGE_MODBUS);
        case IDD_HTTPS_MODE:
            return host.Page(MODE_PAGE_HTTPS);
        case IDD_MQTT_MODE:
            return host.Page(MODE_PAGE_MQTT);
        default:
            return host.Main();
    }
}

// Puts one --set value into its control on the window thread; empty, or why it cannot.
std::string ApplySet(CConsoleHost& host, const SetOption& set) {
    return DialogDriver(host, set.dialog).Call([&set](fw::CDialog* d) -> std::string {
        if (d == nullptr) {
            return "the window is gone";
        }
        fw::CDialogControlAccess controls(*d);
        if (!controls.IsWindowEnabled(set.id)) {
            return std::string(set.row->name) + " cannot be changed";
        }
        switch (set.row->kind) {
            case parameters::ParamKind::Combo:
                controls.SelectItemText(set.id, set.value);
                break;
            case parameters::ParamKind::Check:
                controls.SetCheck(set.id, set.value == "1" ? fw::BST_CHECKED : fw::BST_UNCHECKED);
                break;
            case parameters::ParamKind::RadioPair:
                if (auto* button = d->GetItem<fw::CButton>(set.id); button != nullptr && set.value == "1") {
                    d->CheckRadioInGroup(*button);
                } else {
                    controls.SetCheck(set.id, fw::BST_UNCHECKED);
                }
                break;
            default:
                controls.SetWindowText(set.id, set.value);
                break;
        }
        return {};
    });
}

// Runs fn with the main window on its thread.
template <class F>
auto OnWindow(CConsoleHost& host, F fn) {
    return host.Main().Call([fn](fw::CDialog* d) {
        using R = decltype(fn(std::declval<CMarlinqDlg&>()));
        return d != nullptr ? fn(*static_cast<CMarlinqDlg*>(d)) : R{};
    });
}

// Presses a button and returns the outcome of the flow it ran.
parameters::FlowOutcome Press(CConsoleHost& host, int button) {
    host.Main().Click(button);
    host.Main().Sync();  // the flow runs on the window thread: it is over now
    return OnWindow(host, [](CMarlinqDlg& d) { return d.LastFlowOutcome(); });
}

// Every parameter control as "DIALOG:ID=value", in table order; both buttons of a radio pair.
std::vector<std::string> ShownParameters(CConsoleHost& host) {
    std::vector<std::string> lines;
    for (const auto& row : parameters::ParameterTable()) {
        if (row.kind == parameters::ParamKind::Fixed) {
            continue;
        }
        auto driver = DialogDriver(host, row.dialog);
        const std::string prefix = std::to_string(row.dialog) + ":";
        if (row.kind == parameters::ParamKind::Check || row.kind == parameters::ParamKind::RadioPair) {
            lines.push_back(prefix + std::to_string(row.id) + "=" + (driver.Checked(row.id) ? "1" : "0"));
            if (row.kind == parameters::ParamKind::RadioPair) {
                lines.push_back(prefix + std::to_string(row.offId) + "=" +
                                (driver.Checked(row.offId) ? "1" : "0"));
            }
        } else {
            lines.push_back(prefix + std::to_string(row.id) + "=" + driver.Text(row.id));
        }
    }
    return lines;
}

// Waits for the module, loads the parameter file when one is given and applies the --set
// options; false after saying why.
bool Prepare(CConsoleHost& host, const ParamOptions& o, std::ostream& err, int* code) {
    if (!WaitForModule(host, o.timeoutSeconds, err)) {
        *code = kParamExitFailed;
        return false;
    }
    if (!o.file.empty() &&
        !OnWindow(host, [&o](CMarlinqDlg& d) { return d.LoadXmlConfig(o.file) != fw::FALSE; })) {
        err << "marlinq-cli: cannot load " << o.file << "\n";
        *code = kParamExitFailed;
        return false;
    }
    for (const auto& set : o.sets) {
        const std::string why = ApplySet(host, set);
        if (!why.empty()) {
            err << "marlinq-cli: --set " << set.dialog << ":" << set.id << ": " << why << "\n";
            *code = kParamExitUsage;
            return false;
        }
    }
    return true;
}

int Finish(CConsoleHost& host, int code) {
    const int closed = host.Close();
    return code == kParamExitDone && closed != 0 ? kParamExitFailed : code;
}

}  // namespace

int RunGet(const Args& args, std::ostream& out, std::ostream& err) {
    ParamOptions o;
    std::string error;
    if (!ParseParamOptions(args, false, &o, &error)) {
        return Usage("get", error, err);
    }
    CConsoleHost host(out);
    int code = kParamExitDone;
    if (!Prepare(host, o, err, &code)) {
        return Finish(host, code);
    }
    const parameters::FlowOutcome outcome = Press(host, IDC_BTN_GET);
    if (!o.out.empty()) {
        // The parameter file, as the Save button writes it.
        if (!OnWindow(host, [&o](CMarlinqDlg& d) { return d.SaveXmlConfig(o.out) != fw::FALSE; })) {
            err << "marlinq-cli: cannot write " << o.out << "\n";
            return Finish(host, kParamExitFailed);
        }
    } else {
        for (const auto& line : ShownParameters(host)) {
            out << line << "\n";
        }
    }
    return Finish(host, outcome.Ok() ? kParamExitDone : kParamExitFailed);
}

int RunDownload(const Args& args, std::ostream& out, std::ostream& err) {
    ParamOptions o;
    std::string error;
    if (!ParseParamOptions(args, true, &o, &error)) {
        return Usage("download", error, err);
    }
    CConsoleHost host(out);
    int code = kParamExitDone;
    if (!Prepare(host, o, err, &code)) {
        return Finish(host, code);
    }
    if (o.page >= 0) {
        host.Main().Call([](fw::CDialog* d) {
            if (d != nullptr) {
                d->CheckDlgButton(IDC_CHK_CURRENT_PAGE_ONLY, fw::BST_CHECKED);
            }
        });
        host.Main().Select(IDC_TAB_MODES, o.page);
        if (OnWindow(host, [](CMarlinqDlg& d) { return d.CurModePage(); }) != o.page) {
            err << "marlinq-cli: the " << kPageNames[o.page] << " page could not be shown\n";
            return Finish(host, kParamExitFailed);
        }
    }
    const parameters::FlowOutcome outcome = Press(host, IDC_BTN_DOWNLOAD);
    code = outcome.Ok() ? kParamExitDone : kParamExitFailed;
    if (o.verify) {
        const parameters::ModuleValues sent = OnWindow(host, [](CMarlinqDlg& d) { return d.SentToModule(); });
        Press(host, IDC_BTN_GET);
        const parameters::ModuleValues reported =
            OnWindow(host, [](CMarlinqDlg& d) { return d.ReadFromModule(); });
        const auto differences = parameters::CompareWithModule(sent, reported);
        for (const auto& line : differences) {
            out << line << "\n";
        }
        code = differences.empty() ? code : kParamExitDiffers;
    }
    return Finish(host, code);
}

int RunGetCommand(const Args& args) {
    return RunGet(args, std::cout, std::cerr);
}

int RunDownloadCommand(const Args& args) {
    return RunDownload(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
