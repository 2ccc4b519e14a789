// Telling a request's own answer apart from what arrived with it.
//
// The module answers requests one after the other; each answer ends with a final result code
// ("OK", "ERROR", "+CME ERROR: n", "+CMS ERROR: n"). What a read holds after the request was
// written may start with the end of an earlier request's answer (one that came after its own
// transaction gave up) or with lines the module sends unasked. The rules:
//  - a line that names another command (an information line "+CSQ: 23,99", or the echo "AT+CSQ",
//    for the request "AT+CPIN?") is not this request's answer: it is taken out, with the blank
//    line before it;
//  - an answer whose lines name only other commands is an earlier request's answer and is taken
//    out whole, final result code included;
//  - while answers of earlier requests are owed on the port (their transactions saw no final
//    result code), the next answers that name no command at all are taken to be those;
//  - an answer that names this request's command is this request's, whatever was owed;
//  - the answer ends at its first final result code: what follows is stale input.
// All functions are pure and never read beyond the text they are given.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace atlink {

// "OK", "ERROR", "+CME ERROR: ..." or "+CMS ERROR: ..." (the line without its line end).
bool IsFinalResultLine(std::string_view line);

// The extended command that a request names, upper case: "+CPIN" for "AT+CPIN?\r\n", "+CGDCONT"
// for "at+cgdcont=1,...". Empty for a basic command ("AT", "ATI") or a text that is no request.
std::string RequestCommand(std::string_view request);

// The extended command that an answer line names: "+CSQ" for "+CSQ: 23,99" and for the echo
// "AT+CSQ". Empty for a line that names none (a bare value, a blank line, a final result code).
std::string LineCommand(std::string_view line);

// How many final result codes text holds (answers that came while nobody was listening).
int CountFinalResults(std::string_view text);

struct MatchedAnswer {
    std::string answer;      // this request's answer; without a final result code, what came of it
    bool final = false;      // the answer ends with its final result code
    bool lineEnded = false;  // ... and that code's line end has arrived
    std::string discarded;   // what was taken out (earlier answers, lines of other commands)
    int owedLeft = 0;        // answers of earlier requests still owed after this text
};

// Whether answer is a bare "OK": no line in it besides blank lines, "OK" and an echo of request
// or of the bare "AT" (the readiness probe).
bool IsBareOk(std::string_view request, std::string_view answer);

// Matches text (everything read since request was written) to request, with owed answers of
// earlier requests still to come on the port.
MatchedAnswer MatchAnswer(std::string_view request, std::string_view text, int owed);

}  // namespace atlink
