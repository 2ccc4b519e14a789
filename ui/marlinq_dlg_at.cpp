// The AT command wrappers and the AT console of the main window.
#include "discovery/at_port.h"
#include "platform/clock.h"
#include "ui/marlinq_dlg.h"

namespace marlinq {

namespace {

constexpr const char* kNoScanAtPort = "No scan AT port! ";
constexpr const char* kAtPortNotFound = "AT port not found! ";
constexpr int kAdbTries = 3;
constexpr std::uint32_t kAdbRetryPauseMs = 3000;

}  // namespace

// Kind 1 (and kind 2 with its own message): the hand-opened port while one is open, else the AT
// port found now, on a local object that opens and closes it.
template <class R, class OpenForm, class PortForm>
static R ViaPort(CMarlinqDlg& dlg, const char* notFound, R failure, OpenForm openForm, PortForm portForm) {
    if (dlg.m_bAutoPort == 0) {
        // Held across the check and the command, so that closing the port by hand (which takes
        // the same lock) cannot fall between them.
        auto lock = dlg.m_serialPort.LockTransaction();
        if (dlg.m_bAutoPort == 0) {
            return openForm(dlg.m_serialPort);
        }
    }
    const int port = FindAtPortNumber();
    if (port < 1) {
        dlg.AddLog(notFound);
        return failure;
    }
    CSerialPort local;
    return portForm(local, port);
}

// Kinds 3 to 5: always the AT port found now.
template <class R, class PortForm>
static R ViaAtPort(CMarlinqDlg& dlg, const char* notFound, R failure, PortForm portForm) {
    const int port = FindAtPortNumber();
    if (port < 1) {
        dlg.AddLog(notFound);
        return failure;
    }
    CSerialPort local;
    return portForm(local, port);
}

#define MARLINQ_KIND1_SET(Wrapper, Command)                                                     \
    fw::BOOL CMarlinqDlg::Wrapper(const std::string& strArg) {                                  \
        return ViaPort<fw::BOOL>(                                                               \
            *this, kNoScanAtPort, fw::FALSE, [&](CSerialPort& p) { return p.Command(strArg); }, \
            [&](CSerialPort& p, int n) { return p.Command(n, strArg); });                       \
    }

MARLINQ_KIND1_SET(AtSetDtuCfg, SetDtuCfg)
MARLINQ_KIND1_SET(AtSetMultiSockCfg, SetMultiSockCfg)
MARLINQ_KIND1_SET(AtSetModbusCfg, SetModbusCfg)
MARLINQ_KIND1_SET(AtSetModbusCmd, SetModbusCmd)
MARLINQ_KIND1_SET(AtSetDtuMode, SetDtuMode)
MARLINQ_KIND1_SET(AtSetHost, SetHost)
MARLINQ_KIND1_SET(AtSetMqttCfg, SetMqttCfg)
MARLINQ_KIND1_SET(AtSetSubTopic, SetSubTopic)
MARLINQ_KIND1_SET(AtSetPubTopic, SetPubTopic)
MARLINQ_KIND1_SET(AtSetCnmp, SetCnmp)
MARLINQ_KIND1_SET(AtSetAuth, SetAuth)
MARLINQ_KIND1_SET(AtSetApn, SetApn)

#undef MARLINQ_KIND1_SET

#define MARLINQ_KIND1_QUERY(Wrapper, Command)                                                \
    std::string CMarlinqDlg::Wrapper() {                                                     \
        return ViaPort<std::string>(                                                         \
            *this, kNoScanAtPort, std::string(), [](CSerialPort& p) { return p.Command(); }, \
            [](CSerialPort& p, int n) { return p.Command(n); });                             \
    }

MARLINQ_KIND1_QUERY(AtQueryDtuCfg, QueryDtuCfg)
MARLINQ_KIND1_QUERY(AtQueryCnmp, QueryCnmp)
MARLINQ_KIND1_QUERY(AtQueryAuth, QueryAuth)
MARLINQ_KIND1_QUERY(AtQueryApn, QueryApn)

#undef MARLINQ_KIND1_QUERY

fw::BOOL CMarlinqDlg::AtClearAuth() {
    return ViaPort<fw::BOOL>(
        *this, kAtPortNotFound, fw::FALSE, [](CSerialPort& p) { return p.ClearAuth(); },
        [](CSerialPort& p, int n) { return p.ClearAuth(n); });
}

fw::BOOL CMarlinqDlg::AtResetModule() {
    return ViaPort<fw::BOOL>(
        *this, kAtPortNotFound, fw::FALSE, [](CSerialPort& p) { return p.ResetModule(); },
        [](CSerialPort& p, int n) { return p.ResetModule(n); });
}

std::string CMarlinqDlg::AtQueryCimi() {
    return ViaAtPort<std::string>(*this, kNoScanAtPort, std::string(),
                                  [](CSerialPort& p, int n) { return p.QueryCimi(n); });
}

int CMarlinqDlg::AtQueryAdb() {
    return ViaAtPort<int>(*this, kAtPortNotFound, 0,
                          [](CSerialPort& p, int n) { return p.QueryAdb(n) ? 2 : 1; });
}

// Kind 5: up to three tries on the AT port found once, 3 s apart; the last try's result.
template <class Command>
static fw::BOOL TryAdbSwitch(CMarlinqDlg& dlg, Command command) {
    return ViaAtPort<fw::BOOL>(dlg, kAtPortNotFound, fw::FALSE, [&](CSerialPort& p, int n) {
        fw::BOOL result = fw::FALSE;
        for (int attempt = 1; attempt <= kAdbTries; ++attempt) {
            result = command(p, n);
            if (result || attempt == kAdbTries) {
                break;
            }
            platform::Clock::Pause(kAdbRetryPauseMs);
        }
        return result;
    });
}

fw::BOOL CMarlinqDlg::AtEnableAdb() {
    return TryAdbSwitch(*this, [](CSerialPort& p, int n) { return p.EnableAdb(n); });
}

fw::BOOL CMarlinqDlg::AtHideAdb() {
    return TryAdbSwitch(*this, [](CSerialPort& p, int n) { return p.HideAdb(n); });
}

void CMarlinqDlg::OnBtnSend() {
    const std::string text = GetDlgItemText(IDC_EDIT_AT_COMMAND);
    if (text.empty()) {
        return;
    }
    QuickQuery(text);
}

void CMarlinqDlg::QuickQuery(const std::string& command) {
    AddLog(command);
    const int port = FindAtPortNumber();
    if (port < 1) {
        AddLog(kNoScanAtPort);
        return;
    }
    // A line end inside the text would put a second command on the module's line.
    if (command.find_first_of("\r\n") != std::string::npos) {
        AddLog("The command holds a line break and was not sent!");
        return;
    }
    CSerialPort local;
    const std::string answer = local.SendAtCommand(port, command);
    if (!answer.empty()) {
        AddLog(answer);
    }
}

void CMarlinqDlg::OnBtnCsq() {
    QuickQuery("AT+CSQ");
}

void CMarlinqDlg::OnBtnNetwork() {
    QuickQuery("AT+CPSI?");
}

void CMarlinqDlg::OnBtnSimCard() {
    QuickQuery("AT+CPIN?");
}

void CMarlinqDlg::OnBtnDtuCfg() {
    QuickQuery("AT+DTUCFG?");
}

}  // namespace marlinq
