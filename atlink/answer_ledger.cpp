#include "atlink/answer_ledger.h"

#include <algorithm>

namespace atlink {

int AnswerLedger::Owed(int port) {
    std::lock_guard lock(m_mutex);
    const auto it = m_debts.find(port);
    if (it == m_debts.end()) {
        return 0;
    }
    if (platform::Clock::Now() - it->second.since > platform::Clock::Scaled(kOwedForMs)) {
        m_debts.erase(it);
        return 0;
    }
    return it->second.owed;
}

void AnswerLedger::SetOwed(int port, int owed) {
    std::lock_guard lock(m_mutex);
    if (owed <= 0) {
        m_debts.erase(port);
        return;
    }
    m_debts[port] = Debt{std::min(owed, kMaxOwed), platform::Clock::Now()};
}

void AnswerLedger::Paid(int port, int answers) {
    if (answers <= 0) {
        return;
    }
    std::lock_guard lock(m_mutex);
    const auto it = m_debts.find(port);
    if (it == m_debts.end()) {
        return;
    }
    it->second.owed -= answers;
    if (it->second.owed <= 0) {
        m_debts.erase(it);
    }
}

}  // namespace atlink
