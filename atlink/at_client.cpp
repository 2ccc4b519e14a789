#include "atlink/at_client.h"

namespace atlink {

AtClient::AtClient(AtClientDeps deps) : m_deps(std::move(deps)) {
    if (!m_deps.addLog) {
        m_deps.addLog = [](const std::string&) {};
    }
    if (!m_deps.findAtPort) {
        m_deps.findAtPort = [] { return 0; };
    }
    m_deps.manualPort.ShareLedger(&m_ledger);
    if (m_deps.pinnedPort != nullptr) {
        m_deps.pinnedPort->ShareLedger(&m_ledger);
    }
}

AtClient::~AtClient() {
    m_deps.manualPort.ShareLedger(nullptr);
    if (m_deps.pinnedPort != nullptr) {
        m_deps.pinnedPort->ShareLedger(nullptr);
    }
}

void AtClient::SetPacing(Pacing pacing) {
    m_pacing = pacing;
    m_deps.manualPort.SetPacing(pacing);
    if (m_deps.pinnedPort != nullptr) {
        m_deps.pinnedPort->SetPacing(pacing);
    }
}

std::optional<AtOutcomeReport> AtClient::HoldPinned(int com) {
    CSerialPort& held = *m_deps.pinnedPort;
    if (held.IsOpen()) {
        return std::nullopt;
    }
    const AtOutcomeReport opened = held.Open(com);
    if (opened.outcome == AtOutcome::Answered) {
        return std::nullopt;
    }
    held.ClosePort();  // releases what a half-finished open may hold
    return opened;
}

void AtClient::ReleaseIfLost(const AtOutcomeReport& report) {
    if (report.outcome == AtOutcome::Lost || report.outcome == AtOutcome::NoSuchPort) {
        m_deps.pinnedPort->ClosePort();
    }
}

std::unique_lock<std::recursive_mutex> AtClient::ManualPortInUse() {
    if (m_deps.autoPort.load() == 0) {
        auto lock = m_deps.manualPort.LockTransaction();
        if (m_deps.autoPort.load() == 0) {
            return lock;
        }
    }
    return std::unique_lock<std::recursive_mutex>();
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
    m_last = AtCommandRecord{report, succeeded, {}};
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

int AtClient::FoundPortOnly(const char* notFound) {
    const int pinned = PinnedCom();
    const int port = pinned > 0 ? pinned : m_deps.findAtPort();
    if (port < 1) {
        Record(AtOutcomeReport{AtOutcome::NoSuchPort, 0, 0}, false);
        m_deps.addLog(notFound);
        return 0;
    }
    std::lock_guard lock(m_recordMutex);
    m_lastFoundPort = port;
    return port;
}

int AtClient::QueryAdb() {
    const AtResult<bool> on = Run(kQueryAdb);
    const bool noPort = on.report.outcome == AtOutcome::NoSuchPort && on.report.port == 0;
    return noPort ? 0 : on.value ? 2 : 1;
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
    AtResult<std::string> answer;
    if (PinnedCom() > 0) {
        auto lock = m_deps.pinnedPort->LockTransaction();
        const auto failed = HoldPinned(port);
        answer = Recorded(failed ? AtResult<std::string>{std::string(), *failed, false}
                                 : m_deps.pinnedPort->SendOpen(command));
        ReleaseIfLost(answer.report);
    } else {
        CSerialPort local;
        local.ShareLedger(&m_ledger);
        local.SetPacing(GetPacing());
        answer = Recorded(local.Send(port, command));
    }
    {
        std::lock_guard lock(m_recordMutex);
        m_last.answer = answer.value;  // the console gives nothing back: its caller reads it here
    }
    if (!answer.value.empty()) {
        m_deps.addLog(answer.value);
    }
}

}  // namespace atlink
