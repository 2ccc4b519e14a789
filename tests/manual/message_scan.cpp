#include "message_scan.h"

#include <cctype>
#include <regex>

namespace manual::test {

namespace {

// The functions whose arguments are messages, with the argument that is (-1: every argument).
struct Sink {
    const char* name;
    int argument;
};
const Sink kSinks[] = {
    {"m_log", -1},         {"addLog", -1},    {"AddLog", -1},    {"LogFailure", -1}, {"Say", -1},
    {"log", -1},           {"Failed", -1},    {"Report", -1},    {"m_warn", -1},     {"Fail", 0},
    {"ShowMessageBox", 0}, {"MessageBox", 0}, {"UsageError", 2}, {"Usage", 2},       {"SendUsage", 0},
};

// The text with comments replaced by blanks (line numbers and literals kept).
std::string StripComments(const std::string& s) {
    std::string out = s;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"' || s[i] == '\'') {
            const char q = s[i];
            for (++i; i < s.size() && s[i] != q; ++i) {
                if (s[i] == '\\') {
                    ++i;
                }
            }
        } else if (s.compare(i, 2, "//") == 0) {
            for (; i < s.size() && s[i] != '\n'; ++i) {
                out[i] = ' ';
            }
        } else if (s.compare(i, 2, "/*") == 0) {
            for (; i < s.size() && s.compare(i, 2, "*/") != 0; ++i) {
                out[i] = s[i] == '\n' ? '\n' : ' ';
            }
            if (i + 1 < s.size()) {
                out[i] = out[i + 1] = ' ';
                ++i;
            }
        }
    }
    return out;
}

// Index just past the literal or character constant that starts at i.
std::size_t SkipQuoted(const std::string& s, std::size_t i) {
    const char q = s[i];
    for (++i; i < s.size() && s[i] != q; ++i) {
        if (s[i] == '\\') {
            ++i;
        }
    }
    return i + 1;
}

// The top-level parts of s[from, to) split at any of the separators; "::" never splits.
std::vector<std::string> SplitTop(const std::string& s, const std::string& seps) {
    std::vector<std::string> parts(1);
    int depth = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = SkipQuoted(s, i);
            parts.back() += s.substr(i, end - i);
            i = end - 1;
            continue;
        }
        if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            --depth;
        }
        const bool scope = c == ':' && ((i + 1 < s.size() && s[i + 1] == ':') || (i > 0 && s[i - 1] == ':'));
        if (depth == 0 && !scope && seps.find(c) != std::string::npos) {
            parts.emplace_back();
            continue;
        }
        parts.back() += c;
    }
    return parts;
}

// The pieces of one expression: adjacent literals joined, anything else between them a gap, and
// "%d" inside a literal a gap too.
std::vector<std::string> Pieces(const std::string& expr) {
    std::vector<std::string> pieces;
    bool joinNext = false;
    for (std::size_t i = 0; i < expr.size(); ++i) {
        if (expr[i] == '\'') {
            i = SkipQuoted(expr, i) - 1;
            joinNext = false;
            continue;
        }
        if (expr[i] != '"') {
            if (!std::isspace(static_cast<unsigned char>(expr[i]))) {
                joinNext = false;
            }
            continue;
        }
        const std::size_t end = SkipQuoted(expr, i);
        const std::string text = DecodeLiteral(expr.substr(i + 1, end - i - 2));
        if (joinNext && !pieces.empty()) {
            pieces.back() += text;
        } else {
            pieces.push_back(text);
        }
        joinNext = true;
        i = end - 1;
    }
    std::vector<std::string> out;
    for (const std::string& p : pieces) {
        std::size_t from = 0;
        for (std::size_t at; (at = p.find("%d", from)) != std::string::npos; from = at + 2) {
            out.push_back(p.substr(from, at - from));
        }
        out.push_back(p.substr(from));
    }
    std::vector<std::string> kept;
    for (const std::string& p : out) {
        const std::string n = Normalize(p);
        if (!n.empty()) {
            kept.push_back(n);
        }
    }
    return kept;
}

int LineOf(const std::string& s, std::size_t at) {
    int line = 1;
    for (std::size_t i = 0; i < at && i < s.size(); ++i) {
        line += s[i] == '\n' ? 1 : 0;
    }
    return line;
}

// s[open] is '('; the index of its matching ')', or npos.
std::size_t MatchParen(const std::string& s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (s[i] == '"' || s[i] == '\'') {
            i = SkipQuoted(s, i) - 1;
        } else if (s[i] == '(') {
            ++depth;
        } else if (s[i] == ')' && --depth == 0) {
            return i;
        }
    }
    return std::string::npos;
}

// Index of the ';' that ends the statement starting at from (outside literals and brackets).
std::size_t StatementEnd(const std::string& s, std::size_t from) {
    int depth = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == '"' || s[i] == '\'') {
            i = SkipQuoted(s, i) - 1;
        } else if (s[i] == '(' || s[i] == '{' || s[i] == '[') {
            ++depth;
        } else if (s[i] == ')' || s[i] == '}' || s[i] == ']') {
            --depth;
        } else if (s[i] == ';' && depth <= 0) {
            return i;
        }
    }
    return s.size();
}

void AddExpression(std::vector<FoundMessage>& out, const std::string& expr, const std::string& where) {
    for (const std::string& alternative : SplitTop(expr, "?:")) {
        auto pieces = Pieces(alternative);
        if (!pieces.empty()) {
            out.push_back({std::move(pieces), where});
        }
    }
}

}  // namespace

std::string DecodeLiteral(const std::string& body) {
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\\' || i + 1 == body.size()) {
            out += body[i];
            continue;
        }
        const char e = body[++i];
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                std::size_t j = i + 1;
                int value = 0;
                while (j < body.size() && std::isxdigit(static_cast<unsigned char>(body[j]))) {
                    value = value * 16 + std::stoi(std::string(1, body[j]), nullptr, 16);
                    ++j;
                }
                out += static_cast<char>(value);
                i = j - 1;
                break;
            }
            default:
                out += e;
        }
    }
    return out;
}

std::vector<FoundMessage> ScanSource(const std::string& raw, const std::string& file, bool wording) {
    const std::string s = StripComments(raw);
    std::vector<FoundMessage> out;
    static const std::regex call(R"(\b([A-Za-z_]\w*)\s*\()");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), call); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1];
        for (const Sink& sink : kSinks) {
            if (name != sink.name) {
                continue;
            }
            const std::size_t open = static_cast<std::size_t>(it->position(0) + it->length(0) - 1);
            const std::size_t close = MatchParen(s, open);
            if (close == std::string::npos) {
                break;
            }
            const auto args = SplitTop(s.substr(open + 1, close - open - 1), ",");
            const std::string where = file + ":" + std::to_string(LineOf(s, open));
            for (std::size_t a = 0; a < args.size(); ++a) {
                if (sink.argument < 0 || static_cast<std::size_t>(sink.argument) == a) {
                    AddExpression(out, args[a], where);
                }
            }
        }
    }
    // Message constants.
    static const std::regex constant(
        R"(constexpr\s+const\s+char\s*\*\s*(k\w*(Msg|NotFound|NoScan|Failed)\w*)\s*=)");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), constant); it != std::sregex_iterator(); ++it) {
        const std::size_t from = static_cast<std::size_t>(it->position(0) + it->length(0));
        AddExpression(out, s.substr(from, StatementEnd(s, from) - from),
                      file + ":" + std::to_string(LineOf(s, from)));
    }
    // Reasons given back through an error text.
    static const std::regex reason(R"(\*error\s*=)");
    for (auto it = std::sregex_iterator(s.begin(), s.end(), reason); it != std::sregex_iterator(); ++it) {
        const std::size_t from = static_cast<std::size_t>(it->position(0) + it->length(0));
        AddExpression(out, s.substr(from, StatementEnd(s, from) - from),
                      file + ":" + std::to_string(LineOf(s, from)));
    }
    if (wording) {
        static const std::regex ret(R"(\breturn\b)");
        for (auto it = std::sregex_iterator(s.begin(), s.end(), ret); it != std::sregex_iterator(); ++it) {
            const std::size_t from = static_cast<std::size_t>(it->position(0) + it->length(0));
            AddExpression(out, s.substr(from, StatementEnd(s, from) - from),
                          file + ":" + std::to_string(LineOf(s, from)));
        }
    }
    return out;
}

std::string Normalize(const std::string& text) {
    std::string out;
    bool blank = false;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F || c == ' ') {
            blank = !out.empty();
            continue;
        }
        if (blank) {
            out += ' ';
            blank = false;
        }
        out += static_cast<char>(c);
    }
    return out;
}

std::string VisibleText(const std::string& html) {
    std::string text;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            const std::size_t end = html.find('>', i);
            if (end == std::string::npos) {
                break;
            }
            text += ' ';
            i = end;
        } else {
            text += html[i];
        }
    }
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities) {
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;) {
            text.replace(at, std::string(entity).size(), plain);
        }
    }
    return Normalize(text);
}

bool Covers(const std::string& text, const std::vector<std::string>& pieces, std::size_t gap) {
    if (pieces.empty()) {
        return true;
    }
    for (std::size_t start = text.find(pieces[0]); start != std::string::npos;
         start = text.find(pieces[0], start + 1)) {
        std::size_t at = start + pieces[0].size();
        bool all = true;
        for (std::size_t k = 1; k < pieces.size() && all; ++k) {
            const std::size_t next = text.find(pieces[k], at);
            all = next != std::string::npos && next - at <= gap;
            if (all) {
                at = next + pieces[k].size();
            }
        }
        if (all) {
            return true;
        }
    }
    return false;
}

}  // namespace manual::test
