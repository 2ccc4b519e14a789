#include "atlink/at_exchange.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "atlink/answer_match.h"
#include "atlink/answer_parsers.h"
#include "platform/clock.h"

namespace atlink {

namespace {

constexpr std::uint32_t kDrainPauseMs = 1000;
// A module that streams without ever saying "OK" would otherwise keep the reads going forever.
constexpr int kMaxUntilOkReads = 500;

constexpr std::uint32_t kConsolePauseBeforeMs = 30;
constexpr std::uint32_t kConsolePauseAfterMs = 100;
constexpr int kConsolePolls = 50;
constexpr std::uint32_t kConsolePollPauseMs = 50;

// A zero-filled answer area that always has room for the NUL after a full read.
std::vector<char> AnswerArea(std::size_t size) {
    return std::vector<char>(std::max(size, AtTransport::kReadLimit) + 1, '\0');
}

AtOutcomeReport Report(AtLine line, AtOutcome outcome, std::size_t bytesRead) {
    return AtOutcomeReport{outcome, line.port.Port(), bytesRead};
}

// Records what the matched reads leave owed on the port: the answers still owed of earlier
// requests, and this one's when its final result code did not come.
void Settle(AtLine line, const MatchedAnswer& matched) {
    line.ledger.SetOwed(line.port.Port(), matched.owedLeft + (matched.final ? 0 : 1));
}

// What the reads of an answer-paced transaction gathered.
struct Gathered {
    std::string text;
    MatchedAnswer matched;
    bool lost = false;  // a read failed on an open port: the device went away
};

// The answer of request in text read after it was written. For a request whose answer always
// carries a value line (valueInAnswer), a bare "OK" belongs to an earlier request (one that another
// program left in flight), and the answer after it is looked at instead; an error is an answer to
// this request as ever.
struct ValueMatch {
    MatchedAnswer matched;
    std::optional<MatchedAnswer> bare;  // the last answer passed over for lack of a value line
};

ValueMatch MatchValueAnswer(const std::string& request, std::string_view text, int owed, bool valueInAnswer) {
    ValueMatch out;
    out.matched = MatchAnswer(request, text, owed);
    while (valueInAnswer && out.matched.final && out.matched.lineEnded &&
           IsBareOk(request, out.matched.answer)) {
        // Everything up to the "OK"'s line end is either the answer or taken out.
        text.remove_prefix(out.matched.answer.size() + out.matched.discarded.size());
        const int owedLeft = out.matched.owedLeft;
        out.bare = std::move(out.matched);
        out.matched = MatchAnswer(request, text, owedLeft);
    }
    return out;
}

// Reads until the gathered reads hold request's final result line with its line end, a read
// fails, kMaxAnswerBytes have come or timeoutMs (on the Clock) have passed, whichever is first.
// With valueInAnswer, a bare "OK" is passed over (MatchValueAnswer); when nothing else comes, it
// is the answer after all. A read that brings nothing waits for data itself
// (platform::SerialReadWait), so the loop never spins. What came is logged as one "Recv: " line,
// as the fixed pacing's single read logs it.
Gathered ReadUntilFinal(AtLine line, const std::string& request, std::uint32_t timeoutMs,
                        bool valueInAnswer = false) {
    const int owed = line.ledger.Owed(line.port.Port());
    const auto deadline = platform::Clock::Now() + platform::Clock::Scaled(timeoutMs);
    std::vector<char> buffer = AnswerArea(AtTransport::kReadLimit);
    Gathered out;
    std::optional<MatchedAnswer> bare;
    out.matched = MatchAnswer(request, out.text, owed);  // nothing yet: the debts stay as they are
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        std::size_t count = 0;
        if (!line.port.ReadUnlogged(buffer.data(), &count)) {
            out.lost = line.port.IsOpen();
            break;
        }
        if (count > 0) {
            out.text.append(buffer.data(), strnlen(buffer.data(), count));
            ValueMatch match = MatchValueAnswer(request, out.text, owed, valueInAnswer);
            out.matched = std::move(match.matched);
            bare = std::move(match.bare);
            if ((out.matched.final && out.matched.lineEnded) || out.text.size() >= kMaxAnswerBytes) {
                break;
            }
        }
        if (platform::Clock::Now() >= deadline) {
            break;
        }
    }
    if (!out.matched.final && bare) {
        out.matched = std::move(*bare);
    }
    line.port.LogReceived(out.text);
    return out;
}

// How an answer-paced transaction without its final result line ended.
AtOutcome Unanswered(const Gathered& got) {
    // Bytes that held no final result code at all are an incomplete answer, and so is a piece of
    // this request's answer; earlier requests' whole answers alone are no answer to this one.
    const bool incomplete =
        !got.matched.answer.empty() || (!got.text.empty() && CountFinalResults(got.text) == 0);
    return got.lost ? AtOutcome::Lost : incomplete ? AtOutcome::Incomplete : AtOutcome::NoAnswer;
}

void SettleBeforeWrite(const AtCycle& cycle) {
    if (cycle.settleMs > 0) {
        platform::Clock::Pause(cycle.settleMs);
    }
}

}  // namespace

bool WriteRequest(AtLine line, const std::string& request) {
    std::string stale;
    const bool written = line.port.Write(request.c_str(), request.size(), &stale);
    if (!stale.empty()) {
        // Answers that came while nobody listened are not waited for any more.
        line.ledger.Paid(line.port.Port(), CountFinalResults(stale));
    }
    return written;
}

AtResult<std::string> ExchangeOnce(AtLine line, const AtCycle& cycle) {
    if (cycle.pacing == Pacing::Answer) {
        return ExchangeAnswered(line, cycle);
    }
    platform::Clock::Pause(cycle.pauseBeforeMs);
    WriteRequest(line, cycle.request);
    platform::Clock::Pause(cycle.pauseAfterMs);
    std::vector<char> buffer = AnswerArea(cycle.answerArea);
    std::size_t count = 0;
    const bool read = line.port.Read(buffer.data(), &count);
    // One read, as ever; what it holds of earlier answers is taken out, and a request whose final
    // result code is not in it leaves that answer owed to the next transaction on the port.
    MatchedAnswer matched = MatchAnswer(cycle.request, buffer.data(), line.ledger.Owed(line.port.Port()));
    Settle(line, matched);
    if (!read || matched.answer.empty()) {
        // Bytes that held no final result code at all (lines of other commands only) are an
        // incomplete answer; earlier requests' whole answers alone are no answer to this one.
        const bool incomplete = count > 0 && CountFinalResults(buffer.data()) == 0;
        const AtOutcome outcome = !read && line.port.IsOpen() ? AtOutcome::Lost
                                  : incomplete                ? AtOutcome::Incomplete
                                                              : AtOutcome::NoAnswer;
        return AtResult<std::string>{std::string(), Report(line, outcome, count), false};
    }
    return AtResult<std::string>{std::move(matched.answer), Report(line, AtOutcome::Answered, count), true};
}

AtResult<std::string> ExchangeAnswered(AtLine line, const AtCycle& cycle) {
    SettleBeforeWrite(cycle);
    WriteRequest(line, cycle.request);
    Gathered got =
        ReadUntilFinal(line, cycle.request, AnswerTimeoutMs(cycle.pauseAfterMs), cycle.valueInAnswer);
    Settle(line, got.matched);
    if (!got.matched.final) {
        return AtResult<std::string>{std::string(), Report(line, Unanswered(got), got.text.size()), false};
    }
    return AtResult<std::string>{std::move(got.matched.answer),
                                 Report(line, AtOutcome::Answered, got.text.size()), true};
}

void DrainRead(AtLine line, Pacing pacing) {
    std::vector<char> drain = AnswerArea(AtTransport::kReadLimit);
    std::size_t count = 0;
    if (line.port.Read(drain.data(), &count)) {
        line.ledger.Paid(line.port.Port(), CountFinalResults(drain.data()));
        // Paced by the answer, the line is given time to calm down only when it was not quiet.
        if (pacing == Pacing::Fixed || count > 0) {
            platform::Clock::Pause(kDrainPauseMs);
        }
    }
}

AtResult<std::string> ExchangeUntilOk(AtLine line, const AtCycle& cycle) {
    if (cycle.pacing == Pacing::Answer) {
        // The same wait for the final result line; only an "OK" there is success.
        SettleBeforeWrite(cycle);
        WriteRequest(line, cycle.request);
        Gathered got = ReadUntilFinal(line, cycle.request, AnswerTimeoutMs(cycle.pauseAfterMs));
        Settle(line, got.matched);
        const bool ok = got.matched.final && ParseSetAnswer(got.matched.answer);
        return AtResult<std::string>{ok ? got.matched.answer : std::string(),
                                     Report(line, AtOutcome::Answered, got.text.size()), ok};
    }
    platform::Clock::Pause(cycle.pauseBeforeMs);
    WriteRequest(line, cycle.request);
    platform::Clock::Pause(cycle.pauseAfterMs);
    std::vector<char> buffer = AnswerArea(AtTransport::kReadLimit);
    std::size_t count = 0;
    // The reads are matched together, so that an earlier request's late "OK" among them is not
    // taken for this one's.
    const int owed = line.ledger.Owed(line.port.Port());
    std::string gathered;
    MatchedAnswer matched;
    bool ok = false;
    if (line.port.Read(buffer.data(), &count) && count > 0) {
        for (int reads = 1; reads <= kMaxUntilOkReads; ++reads) {
            gathered += buffer.data();
            matched = MatchAnswer(cycle.request, gathered, owed);
            if (matched.final && ParseSetAnswer(matched.answer)) {
                ok = true;
                break;
            }
            std::fill(buffer.begin(), buffer.end(), '\0');
            if (!line.port.Read(buffer.data(), &count) || count == 0) {
                break;
            }
        }
    }
    Settle(line, matched);
    // The port answered as far as the exchange goes; the answer tells the rest.
    return AtResult<std::string>{ok ? matched.answer : std::string(),
                                 Report(line, AtOutcome::Answered, gathered.size()), ok};
}

AtResult<std::string> ExchangeRow(AtLine line, AtExchange exchange, const AtCycle& cycle) {
    switch (exchange) {
        case AtExchange::Drained:
            DrainRead(line, cycle.pacing);
            return ExchangeOnce(line, cycle);
        case AtExchange::DrainedUntilOk:
            DrainRead(line, cycle.pacing);
            return ExchangeUntilOk(line, cycle);
        case AtExchange::Single:
            break;
    }
    return ExchangeOnce(line, cycle);
}

AtResult<std::string> ExchangeConsole(AtLine line, const std::string& text, Pacing pacing) {
    const std::string request = text + "\r\n";
    if (pacing == Pacing::Answer) {
        WriteRequest(line, request);
        Gathered got = ReadUntilFinal(line, request, AnswerTimeoutMs(kConsolePauseAfterMs));
        Settle(line, got.matched);
        const bool whole = got.matched.final && got.matched.lineEnded;
        return AtResult<std::string>{
            whole ? got.matched.answer : std::string(),
            Report(line, whole ? AtOutcome::Answered : Unanswered(got), got.text.size()), whole};
    }
    platform::Clock::Pause(kConsolePauseBeforeMs);
    WriteRequest(line, request);
    platform::Clock::Pause(kConsolePauseAfterMs);
    // An answer may take several reads (a long one, or one trickled a byte at a time): the reads
    // are gathered until they hold this request's final result code and its line end, so an
    // "OK" split between two reads counts too; an earlier request's answer among them does not.
    // 50 reads of at most 200 bytes bound the gathered text.
    const int owed = line.ledger.Owed(line.port.Port());
    std::vector<char> buffer = AnswerArea(AtTransport::kReadLimit);
    std::string gathered;
    MatchedAnswer matched;
    bool lost = false;
    for (int poll = 0; poll < kConsolePolls; ++poll) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        std::size_t count = 0;
        if (!line.port.Read(buffer.data(), &count)) {
            lost = true;  // the device is gone: nothing more will come
            break;
        }
        gathered.append(buffer.data());
        matched = MatchAnswer(request, gathered, owed);
        if (matched.final && matched.lineEnded) {
            break;
        }
        platform::Clock::Pause(kConsolePollPauseMs);
    }
    Settle(line, matched);
    // Bytes that held no final result code at all are an incomplete answer; earlier requests'
    // whole answers alone are no answer to this one.
    const bool incomplete =
        !matched.answer.empty() || (!gathered.empty() && CountFinalResults(gathered) == 0);
    const AtOutcome outcome = matched.final ? AtOutcome::Answered
                              : lost        ? AtOutcome::Lost
                              : incomplete  ? AtOutcome::Incomplete
                                            : AtOutcome::NoAnswer;
    return AtResult<std::string>{matched.final ? matched.answer : std::string(),
                                 Report(line, outcome, gathered.size()), matched.final};
}

}  // namespace atlink
