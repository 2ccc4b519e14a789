#include "atlink/answer_match.h"

namespace atlink {

namespace {

constexpr std::string_view kCommandPrefixes = "+^$#";

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool NameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '&' || c == '-' || c == '.';
}

// The line without the CRs and LFs around it.
std::string_view Content(std::string_view piece) {
    while (!piece.empty() && (piece.front() == '\r' || piece.front() == '\n')) {
        piece.remove_prefix(1);
    }
    while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n')) {
        piece.remove_suffix(1);
    }
    return piece;
}

// The command name at the start of text ("+CSQ" of "+CSQ: 1"), upper case, and where it ends.
std::string NameAt(std::string_view text, std::size_t* end) {
    if (text.empty() || kCommandPrefixes.find(text.front()) == std::string_view::npos) {
        return {};
    }
    std::size_t i = 1;
    while (i < text.size() && NameChar(text[i])) {
        ++i;
    }
    if (i == 1) {
        return {};
    }
    std::string name;
    for (std::size_t k = 0; k < i; ++k) {
        name.push_back(Upper(text[k]));
    }
    *end = i;
    return name;
}

bool StartsWithAt(std::string_view text) {
    return text.size() >= 2 && Upper(text[0]) == 'A' && Upper(text[1]) == 'T';
}

// One line of a text: the piece up to and including its LF (the last piece may have none).
struct Piece {
    std::string_view text;
    bool ended = false;
};

Piece NextPiece(std::string_view text, std::size_t* pos) {
    const std::size_t lf = text.find('\n', *pos);
    const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
    Piece piece{text.substr(*pos, end - *pos), lf != std::string_view::npos};
    *pos = end;
    return piece;
}

}  // namespace

bool IsFinalResultLine(std::string_view line) {
    return line == "OK" || line == "ERROR" || line.rfind("+CME ERROR:", 0) == 0 ||
           line.rfind("+CMS ERROR:", 0) == 0;
}

std::string RequestCommand(std::string_view request) {
    while (!request.empty() &&
           (request.front() == ' ' || request.front() == '\r' || request.front() == '\n')) {
        request.remove_prefix(1);
    }
    if (!StartsWithAt(request)) {
        return {};
    }
    std::size_t end = 0;
    return NameAt(request.substr(2), &end);
}

std::string LineCommand(std::string_view line) {
    line = Content(line);
    if (IsFinalResultLine(line)) {
        return {};
    }
    if (StartsWithAt(line)) {
        return RequestCommand(line);  // an echoed request
    }
    std::size_t end = 0;
    std::string name = NameAt(line, &end);
    // An information line carries its command's name followed by a colon.
    return !name.empty() && end < line.size() && line[end] == ':' ? name : std::string();
}

int CountFinalResults(std::string_view text) {
    int count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (IsFinalResultLine(Content(NextPiece(text, &pos).text))) {
            ++count;
        }
    }
    return count;
}

bool IsBareOk(std::string_view request, std::string_view answer) {
    const std::string_view echo = Content(request);
    bool ok = false;
    for (std::size_t pos = 0; pos < answer.size();) {
        const std::string_view content = Content(NextPiece(answer, &pos).text);
        if (content == "OK") {
            ok = true;
        } else if (!content.empty() && content != echo && content != "AT") {
            return false;
        }
    }
    return ok;
}

MatchedAnswer MatchAnswer(std::string_view request, std::string_view text, int owed) {
    MatchedAnswer m;
    const std::string own = RequestCommand(request);
    std::string kept;  // the lines of the answer being read, those of other commands taken out
    std::size_t lastPiece = 0;
    bool lastBlank = false;
    bool namesOwn = false;
    bool namesOther = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const Piece piece = NextPiece(text, &pos);
        const std::string_view content = Content(piece.text);
        if (IsFinalResultLine(content)) {
            kept.append(piece.text);
            if (namesOwn || (!namesOther && owed <= 0)) {
                m.answer = std::move(kept);
                m.final = true;
                m.lineEnded = piece.ended;
                m.owedLeft = namesOwn ? 0 : owed;
                return m;
            }
            // An earlier request's answer: gone whole, and one fewer is owed.
            m.discarded.append(kept);
            kept.clear();
            owed = owed > 0 ? owed - 1 : 0;
            lastBlank = namesOwn = namesOther = false;
            continue;
        }
        const std::string named = own.empty() ? std::string() : LineCommand(content);
        if (!named.empty() && named != own) {
            if (lastBlank) {  // the blank line that opened this one goes with it
                m.discarded.append(kept, lastPiece, std::string::npos);
                kept.erase(lastPiece);
            }
            m.discarded.append(piece.text);
            namesOther = true;
            lastBlank = false;
            continue;
        }
        namesOwn = namesOwn || !named.empty();
        lastPiece = kept.size();
        lastBlank = content.empty();
        kept.append(piece.text);
    }
    m.answer = std::move(kept);
    m.owedLeft = namesOwn ? 0 : owed;
    return m;
}

}  // namespace atlink
