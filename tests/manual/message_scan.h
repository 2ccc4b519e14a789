// Finds the messages the tool can log, show or print, by reading its sources: the texts handed to
// the log and message functions, the texts that the wording functions return, and the message
// constants. A message built from pieces ("Equipment ready [AT:COM" + n + "] for operation!") is
// kept as its pieces, in order.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace manual::test {

struct FoundMessage {
    std::vector<std::string> pieces;  // the literal parts in order; something stands between two
    std::string where;                // file:line
};

// The decoded text of a C++ string literal body (between the quotes): \n, \r, \t, \", \\, \xHH.
std::string DecodeLiteral(const std::string& body);

// Messages of one source text. `file` names it in the results; `wording` says whether the text
// of its return statements counts as messages (files whose functions word messages).
std::vector<FoundMessage> ScanSource(const std::string& text, const std::string& file, bool wording);

// Text of an HTML page as a reader sees it: tags dropped, entities decoded, white space collapsed.
std::string VisibleText(const std::string& html);

// Control characters become blanks, runs of white space one blank; the ends are trimmed.
std::string Normalize(const std::string& text);

// True when the pieces occur in text in order, each after the previous one with at most
// `gap` characters between (the first anywhere).
bool Covers(const std::string& text, const std::vector<std::string>& pieces, std::size_t gap = 60);

}  // namespace manual::test
