// The answers a port still owes: requests whose transaction ended without their final result
// code. The module answers in order, so the next answers that come (and name no command) belong
// to those requests, not to the one just written (atlink/answer_match.h).
//
// A debt is forgotten kOwedForMs after it was last recorded: a module that dropped an answer
// for good would otherwise have every later answer taken for the one before. It is also paid
// when the flush before a request finds final result codes that came while nobody listened.
// Every method may run on any thread.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/clock.h"

namespace atlink {

class AnswerLedger {
  public:
    static constexpr int kMaxOwed = 8;
    static constexpr std::uint32_t kOwedForMs = 3000;

    // The answers COM port still owes (0 once the debt has expired).
    int Owed(int port);
    // Records that COM port now owes owed answers.
    void SetOwed(int port, int owed);
    // answers final result codes of COM port came while nobody listened.
    void Paid(int port, int answers);

  private:
    struct Debt {
        int owed = 0;
        platform::Clock::TimePoint since{};
    };
    std::mutex m_mutex;
    std::map<int, Debt> m_debts;
};

}  // namespace atlink
