#include "atlink/at_client.h"

#include "platform/clock.h"

namespace atlink {

AtClient::AtClient(AtClientDeps deps) : m_deps(std::move(deps)) {
    if (!m_deps.addLog) {
        m_deps.addLog = [](const std::string&) {};
    }
    if (!m_deps.findAtPort) {
        m_deps.findAtPort = [] { return 0; };
    }
    m_deps.manualPort.ShareLedger(&m_ledger);
}

AtClient::~AtClient() {
    m_deps.manualPort.ShareLedger(nullptr);
}

template <class R>
R AtClient::ViaManualOrFound(const char* notFound, R failure, const std::function<R(CSerialPort&)>& openForm,
                             const std::function<R(CSerialPort&, int)>& portForm) {
    if (m_deps.autoPort.load() == 0) {
        // Held across the check and the command, so that closing the port by hand (which takes
        // the same lock) cannot fall between them.
        auto lock = m_deps.manualPort.LockTransaction();
        if (m_deps.autoPort.load() == 0) {
            const R result = openForm(m_deps.manualPort);
            Record(m_deps.manualPort.LastOutcome(), result != failure);
            return result;
        }
    }
    const int port = FoundPortOnly(notFound);
    if (port < 1) {
        return failure;
    }
    CSerialPort local;
    local.ShareLedger(&m_ledger);
    const R result = portForm(local, port);
    Record(local.LastOutcome(), result != failure);
    return result;
}

namespace {

// Failures of the port itself rather than of the module's answer.
bool PortFailure(AtOutcome outcome) {
    return outcome == AtOutcome::Busy || outcome == AtOutcome::NoSuchPort ||
           outcome == AtOutcome::CannotOpen || outcome == AtOutcome::Lost;
}

}  // namespace

void AtClient::Record(const AtOutcomeReport& report, bool succeeded) {
    std::lock_guard lock(m_recordMutex);
    m_last = AtCommandRecord{report, succeeded};
    if (!succeeded && PortFailure(report.outcome) && m_firstPortFailure.outcome == AtOutcome::Answered) {
        m_firstPortFailure = report;
        if (m_firstPortFailure.port < 1) {
            m_firstPortFailure.port = m_lastFoundPort;
        }
    }
}

void AtClient::BeginTally() {
    std::lock_guard lock(m_recordMutex);
    m_firstPortFailure = AtOutcomeReport{};
}

AtOutcomeReport AtClient::FirstPortFailure() const {
    std::lock_guard lock(m_recordMutex);
    return m_firstPortFailure;
}

AtCommandRecord AtClient::LastCommand() const {
    std::lock_guard lock(m_recordMutex);
    return m_last;
}

BOOL AtClient::ManualOrFoundPort(const char* notFound, const std::function<BOOL(CSerialPort&)>& openForm,
                                 const std::function<BOOL(CSerialPort&, int)>& portForm) {
    return ViaManualOrFound<BOOL>(notFound, FALSE, openForm, portForm);
}

std::string AtClient::ManualOrFoundPort(const char* notFound,
                                        const std::function<std::string(CSerialPort&)>& openForm,
                                        const std::function<std::string(CSerialPort&, int)>& portForm) {
    return ViaManualOrFound<std::string>(notFound, std::string(), openForm, portForm);
}

int AtClient::FoundPortOnly(const char* notFound) {
    const int port = m_deps.findAtPort();
    if (port < 1) {
        Record(AtOutcomeReport{AtOutcome::NoSuchPort, 0, 0}, false);
        m_deps.addLog(notFound);
        return 0;
    }
    std::lock_guard lock(m_recordMutex);
    m_lastFoundPort = port;
    return port;
}

BOOL AtClient::FoundPortThreeTries(const char* notFound,
                                   const std::function<BOOL(CSerialPort&, int)>& command) {
    const int port = FoundPortOnly(notFound);  // looked up once, before the first try
    if (port < 1) {
        return FALSE;
    }
    CSerialPort local;
    local.ShareLedger(&m_ledger);
    BOOL result = FALSE;
    for (int attempt = 1; attempt <= kAdbTries; ++attempt) {
        result = command(local, port);
        Record(local.LastOutcome(), result != FALSE);
        if (result || attempt == kAdbTries) {
            break;
        }
        platform::Clock::Pause(kAdbRetryPauseMs);
    }
    return result;
}

#define MARLINQ_MANUAL_OR_FOUND_SET(Name)                                  \
    BOOL AtClient::Name(const std::string& strArg) {                       \
        return ManualOrFoundPort(                                          \
            kNoScanAtPort, [&](CSerialPort& p) { return p.Name(strArg); }, \
            [&](CSerialPort& p, int n) { return p.Name(n, strArg); });     \
    }

MARLINQ_MANUAL_OR_FOUND_SET(SetDtuCfg)
MARLINQ_MANUAL_OR_FOUND_SET(SetMultiSockCfg)
MARLINQ_MANUAL_OR_FOUND_SET(SetModbusCfg)
MARLINQ_MANUAL_OR_FOUND_SET(SetModbusCmd)
MARLINQ_MANUAL_OR_FOUND_SET(SetDtuMode)
MARLINQ_MANUAL_OR_FOUND_SET(SetHost)
MARLINQ_MANUAL_OR_FOUND_SET(SetMqttCfg)
MARLINQ_MANUAL_OR_FOUND_SET(SetSubTopic)
MARLINQ_MANUAL_OR_FOUND_SET(SetPubTopic)
MARLINQ_MANUAL_OR_FOUND_SET(SetCnmp)
MARLINQ_MANUAL_OR_FOUND_SET(SetAuth)
MARLINQ_MANUAL_OR_FOUND_SET(SetApn)

#undef MARLINQ_MANUAL_OR_FOUND_SET

#define MARLINQ_MANUAL_OR_FOUND_QUERY(Name)                         \
    std::string AtClient::Name() {                                  \
        return ManualOrFoundPort(                                   \
            kNoScanAtPort, [](CSerialPort& p) { return p.Name(); }, \
            [](CSerialPort& p, int n) { return p.Name(n); });       \
    }

MARLINQ_MANUAL_OR_FOUND_QUERY(QueryDtuCfg)
MARLINQ_MANUAL_OR_FOUND_QUERY(QueryCnmp)
MARLINQ_MANUAL_OR_FOUND_QUERY(QueryAuth)
MARLINQ_MANUAL_OR_FOUND_QUERY(QueryApn)

#undef MARLINQ_MANUAL_OR_FOUND_QUERY

std::optional<std::string> AtClient::QueryApnValue() {
    return ViaManualOrFound<std::optional<std::string>>(
        kNoScanAtPort, std::nullopt, [](CSerialPort& p) { return p.QueryApnValue(); },
        [](CSerialPort& p, int n) { return p.QueryApnValue(n); });
}

BOOL AtClient::ClearAuth() {
    return ManualOrFoundPort(
        kAtPortNotFound, [](CSerialPort& p) { return p.ClearAuth(); },
        [](CSerialPort& p, int n) { return p.ClearAuth(n); });
}

BOOL AtClient::ResetModule() {
    return ManualOrFoundPort(
        kAtPortNotFound, [](CSerialPort& p) { return p.ResetModule(); },
        [](CSerialPort& p, int n) { return p.ResetModule(n); });
}

std::string AtClient::QueryCimi() {
    const int port = FoundPortOnly(kNoScanAtPort);
    if (port < 1) {
        return std::string();
    }
    CSerialPort local;
    local.ShareLedger(&m_ledger);
    std::string value = local.QueryCimi(port);
    Record(local.LastOutcome(), !value.empty());
    return value;
}

int AtClient::QueryAdb() {
    const int port = FoundPortOnly(kAtPortNotFound);
    if (port < 1) {
        return 0;
    }
    CSerialPort local;
    local.ShareLedger(&m_ledger);
    const BOOL on = local.QueryAdb(port);
    Record(local.LastOutcome(), on != FALSE);
    return on ? 2 : 1;
}

BOOL AtClient::EnableAdb() {
    return FoundPortThreeTries(kAtPortNotFound, [](CSerialPort& p, int n) { return p.EnableAdb(n); });
}

BOOL AtClient::HideAdb() {
    return FoundPortThreeTries(kAtPortNotFound, [](CSerialPort& p, int n) { return p.HideAdb(n); });
}

void AtClient::SendConsoleCommand(const std::string& command) {
    m_deps.addLog(command);
    const int port = FoundPortOnly(kNoScanAtPort);
    if (port < 1) {
        return;
    }
    // A line end inside the text would put a second command on the module's line.
    if (command.find_first_of("\r\n") != std::string::npos) {
        m_deps.addLog("The command holds a line break and was not sent!");
        return;
    }
    CSerialPort local;
    local.ShareLedger(&m_ledger);
    const std::string answer = local.SendAtCommand(port, command);
    Record(local.LastOutcome(), !answer.empty());
    if (!answer.empty()) {
        m_deps.addLog(answer);
    }
}

}  // namespace atlink
