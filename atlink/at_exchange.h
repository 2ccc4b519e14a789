// The exchanges of one request and its answer on an open AtTransport, with the record of
// answers owed on the port (atlink/answer_ledger.h) that tells this request's answer from
// earlier ones (atlink/answer_match.h). Each gives the answer with the outcome of the exchange;
// none opens or closes the port.
#pragma once

#include <string>

#include "atlink/answer_ledger.h"
#include "atlink/at_commands.h"
#include "atlink/at_cycle.h"
#include "atlink/at_outcome.h"
#include "atlink/at_pacing.h"
#include "atlink/at_transport.h"

namespace atlink {

struct AtLine {
    AtTransport& port;
    AnswerLedger& ledger;
};

// Writes request through the transport; final result codes among the input it discarded pay
// the answers owed on the port.
bool WriteRequest(AtLine line, const std::string& request);

// Pause, write, pause, one read (under answer pacing: ExchangeAnswered). Succeeds with this
// request's answer when the read brought some of it (the answer ends at its final result code; earlier
// requests' answers and lines of other commands are taken out); fails on a failed read or nothing of this
// request's answer.
AtResult<std::string> ExchangeOnce(AtLine line, const AtCycle& cycle);

// Answer pacing (atlink/at_pacing.h): the row's settle time, write, then reads until this
// request's final result line has arrived whole, for at most AnswerTimeoutMs(pauseAfterMs).
// Succeeds with the answer when its final result code came; a module that stays silent fails
// NoAnswer, one that sent part of an answer Incomplete. The reads are logged as one line.
AtResult<std::string> ExchangeAnswered(AtLine line, const AtCycle& cycle);

// One read of what the module sent unasked, and a pause of 1 s when the read worked (under answer
// pacing only when it brought something).
void DrainRead(AtLine line, Pacing pacing = Pacing::Fixed);

// Pause, write, pause, then reads for as long as they bring data, until the gathered reads hold
// this request's final result code with "OK" (at most 500 reads). Succeeds with the answer when
// that final result code came. Under answer pacing: ExchangeAnswered's reads, success when the
// final result code is "OK".
AtResult<std::string> ExchangeUntilOk(AtLine line, const AtCycle& cycle);

// The exchange that a row names, on an open port.
AtResult<std::string> ExchangeRow(AtLine line, AtExchange exchange, const AtCycle& cycle);

// The free-form exchange of the AT console: writes text + CR LF and polls up to 50 times,
// gathering the reads until they hold this request's final result code and that line's end.
// Succeeds with this request's answer when its final result code came. Under answer pacing the
// console writes at once and reads until that line is whole, for at most kAnswerCeilingMs.
AtResult<std::string> ExchangeConsole(AtLine line, const std::string& text, Pacing pacing = Pacing::Fixed);

}  // namespace atlink
