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
#include "atlink/at_transport.h"

namespace atlink {

struct AtLine {
    AtTransport& port;
    AnswerLedger& ledger;
};

// Writes request through the transport; final result codes among the input it discarded pay
// the answers owed on the port.
bool WriteRequest(AtLine line, const std::string& request);

// Pause, write, pause, one read. Succeeds with this request's answer when the read brought some
// of it (the answer ends at its final result code; earlier requests' answers and lines of other
// commands are taken out); fails on a failed read or nothing of this request's answer.
AtResult<std::string> ExchangeOnce(AtLine line, const AtCycle& cycle);

// One read of what the module sent unasked, and a pause of 1 s when the read worked.
void DrainRead(AtLine line);

// Pause, write, pause, then reads for as long as they bring data, until the gathered reads hold
// this request's final result code with "OK" (at most 500 reads). Succeeds with the answer when
// that final result code came.
AtResult<std::string> ExchangeUntilOk(AtLine line, const AtCycle& cycle);

// The exchange that a row names, on an open port.
AtResult<std::string> ExchangeRow(AtLine line, AtExchange exchange, const AtCycle& cycle);

// The free-form exchange of the AT console: writes text + CR LF and polls up to 50 times,
// gathering the reads until they hold this request's final result code and that line's end.
// Succeeds with this request's answer when its final result code came.
AtResult<std::string> ExchangeConsole(AtLine line, const std::string& text);

}  // namespace atlink
