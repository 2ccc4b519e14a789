#include "configfile/xml_source.h"

#include <algorithm>
#include <cstdint>

#include "configfile/xml_text.h"

namespace configfile {

namespace {

bool Fault(XmlSourceProblem* problem, XmlSourceFault fault, std::size_t offset, std::string reason) {
    problem->fault = fault;
    problem->offset = offset;
    problem->reason = std::move(reason);
    return false;
}

std::size_t FileOffset(std::size_t base, std::size_t pos) {
    return base == kNoOffset ? kNoOffset : base + pos;
}

void AppendUtf8(std::uint32_t cp, std::string* out) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16 after its byte-order mark, to UTF-8; a lone surrogate or an odd byte is refused.
bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::string* text, XmlSourceProblem* problem) {
    const auto unit = [&](std::size_t pos) {
        const auto b0 = static_cast<unsigned char>(bytes[pos]);
        const auto b1 = static_cast<unsigned char>(bytes[pos + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    text->clear();
    std::size_t pos = 2;
    for (; pos + 1 < bytes.size(); pos += 2) {
        std::uint32_t cp = unit(pos);
        if (cp >= 0xD800 && cp <= 0xDBFF && pos + 3 < bytes.size() && unit(pos + 2) >= 0xDC00 &&
            unit(pos + 2) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(pos + 2) - 0xDC00);
            pos += 2;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            return Fault(problem, XmlSourceFault::kNotUtf8, pos, "not UTF-16 at byte " + std::to_string(pos));
        }
        AppendUtf8(cp, text);
    }
    if (pos != bytes.size()) {
        return Fault(problem, XmlSourceFault::kNotUtf8, pos, "not UTF-16 at byte " + std::to_string(pos));
    }
    return true;
}

bool StartsWith(std::string_view text, std::size_t pos, std::string_view prefix) {
    return text.size() - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The encoding named by the declaration at the start of text; empty when none is named.
std::string DeclaredEncoding(std::string_view text) {
    if (!StartsWith(text, 0, "<?xml") || text.size() < 6 ||
        (text[5] != ' ' && text[5] != '\t' && text[5] != '\r' && text[5] != '\n')) {
        return {};
    }
    const std::size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
    std::size_t pos = declaration.find("encoding");
    if (pos == std::string_view::npos) {
        return {};
    }
    pos = declaration.find_first_of("\"'", pos);
    if (pos == std::string_view::npos) {
        return {};
    }
    const std::size_t close = declaration.find(declaration[pos], pos + 1);
    return close == std::string_view::npos ? std::string()
                                           : std::string(declaration.substr(pos + 1, close - pos - 1));
}

// Whether cp may appear in an XML 1.0 document.
bool IsXmlChar(std::uint32_t cp) {
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
           (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

std::string Hex(std::uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return out.size() < 2 ? "0" + out : out;
}

// The reference that starts with '&' at text[pos]; false with the problem when XML does not
// define it or it names a character XML does not allow. *end is the offset after its ';'.
bool CheckReference(std::string_view text, std::size_t pos, std::size_t base, std::size_t* end,
                    XmlSourceProblem* problem) {
    const std::size_t semicolon = text.find(';', pos);
    // Longest legal reference: "&#x10FFFF;" with leading zeros aside; names of entities are short.
    const std::size_t limit = 40;
    const std::string_view shown =
        text.substr(pos, semicolon == std::string_view::npos ? 1 : std::min(semicolon - pos + 1, limit));
    const auto bad = [&] {
        return Fault(problem, XmlSourceFault::kBadReference, FileOffset(base, pos),
                     "\"" + std::string(shown) + "\"" + AtByte(base, pos) +
                         " is not a reference XML defines (a lone '&' is written &amp;)");
    };
    if (semicolon == std::string_view::npos || semicolon - pos > limit) {
        return bad();
    }
    const std::string_view body = text.substr(pos + 1, semicolon - pos - 1);
    *end = semicolon + 1;
    if (body == "amp" || body == "lt" || body == "gt" || body == "quot" || body == "apos") {
        return true;
    }
    if (body.size() < 2 || body[0] != '#') {
        return bad();
    }
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) {
        return bad();
    }
    std::uint32_t cp = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return bad();
        }
        cp = cp * (hex ? 16u : 10u) + static_cast<std::uint32_t>(digit);
        if (cp > 0x10FFFF) {
            cp = 0x110000;  // stays out of range, whatever digits follow
        }
    }
    if (!IsXmlChar(cp)) {
        return Fault(problem, XmlSourceFault::kForbiddenCharacter, FileOffset(base, pos),
                     "the character reference " + std::string(shown) + AtByte(base, pos) +
                         " names a character XML does not allow");
    }
    return true;
}

// Control characters, U+FFFE and U+FFFF written out anywhere in the (valid UTF-8) text.
bool CheckCharacters(std::string_view text, std::size_t base, XmlSourceProblem* problem) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto c = static_cast<unsigned char>(text[pos]);
        const bool control = c < 0x20 && c != '\t' && c != '\n' && c != '\r';
        const bool nonCharacter = c == 0xEF && pos + 2 < text.size() &&
                                  static_cast<unsigned char>(text[pos + 1]) == 0xBF &&
                                  (static_cast<unsigned char>(text[pos + 2]) & 0xFE) == 0xBE;
        if (control || nonCharacter) {
            return Fault(
                problem, XmlSourceFault::kForbiddenCharacter, FileOffset(base, pos),
                (control ? "the control character 0x" + Hex(c)
                         : std::string("the character U+FFF") + (text[pos + 2] == '\xBE' ? "E" : "F")) +
                    AtByte(base, pos) + " is not allowed in XML");
        }
    }
    return true;
}

}  // namespace

std::string AtByte(std::size_t base, std::size_t pos) {
    return base == kNoOffset ? std::string() : " at byte " + std::to_string(base + pos);
}

bool DecodeXmlSource(std::string_view bytes, std::string* text, std::size_t* base,
                     XmlSourceProblem* problem) {
    *problem = XmlSourceProblem{};
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        *base = kNoOffset;
        return DecodeUtf16(bytes, bytes[0] == '\xFE', text, problem);
    }
    *base = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    const std::string_view body = bytes.substr(*base);
    // A declared encoding other than UTF-8 is harmless only where every byte is ASCII.
    const std::string declared = DeclaredEncoding(body);
    const std::string lower = Lower(declared);
    if (!declared.empty() && lower != "utf-8" && lower != "utf8") {
        for (std::size_t pos = 0; pos < body.size(); ++pos) {
            if (static_cast<unsigned char>(body[pos]) >= 0x80) {
                return Fault(problem, XmlSourceFault::kNotUtf8, *base + pos,
                             "declares the encoding " + declared + " and holds a byte that is not ASCII" +
                                 AtByte(*base, pos) + "; parameter files are UTF-8");
            }
        }
    }
    const std::size_t invalid = FirstInvalidUtf8(body);
    if (invalid != body.size()) {
        return Fault(problem, XmlSourceFault::kNotUtf8, *base + invalid,
                     "not UTF-8" + AtByte(*base, invalid));
    }
    text->assign(body);
    return true;
}

bool CheckXmlText(std::string_view text, std::size_t base, XmlSourceProblem* problem) {
    *problem = XmlSourceProblem{};
    if (!CheckCharacters(text, base, problem)) {
        return false;
    }
    // Where references count: in character data and attribute values, not inside comments,
    // CDATA sections and processing instructions. Anything left malformed is the parser's to find.
    enum class State { kContent, kTag, kValue } state = State::kContent;
    char quote = '"';
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        if (state == State::kContent && c == '<') {
            const auto skipTo = [&](std::size_t from, std::string_view close) {
                const std::size_t at = text.find(close, from);
                return at == std::string_view::npos ? text.size() : at + close.size();
            };
            if (StartsWith(text, pos, "<!--")) {
                pos = skipTo(pos + 4, "-->");
            } else if (StartsWith(text, pos, "<![CDATA[")) {
                pos = skipTo(pos + 9, "]]>");
            } else if (StartsWith(text, pos, "<?")) {
                pos = skipTo(pos + 2, "?>");
            } else if (Lower(text.substr(pos, 9)) == "<!doctype") {
                return Fault(problem, XmlSourceFault::kDoctype, FileOffset(base, pos),
                             "holds a document type declaration (DOCTYPE)" + AtByte(base, pos) +
                                 "; parameter files have none");
            } else {
                state = State::kTag;
                ++pos;
            }
            continue;
        }
        if (c == '&' && state != State::kTag) {
            std::size_t end = pos + 1;
            if (!CheckReference(text, pos, base, &end, problem)) {
                return false;
            }
            pos = end;
            continue;
        }
        if (state == State::kTag && (c == '"' || c == '\'')) {
            state = State::kValue;
            quote = c;
        } else if (state == State::kTag && c == '>') {
            state = State::kContent;
        } else if (state == State::kValue && c == quote) {
            state = State::kTag;
        }
        ++pos;
    }
    return true;
}

}  // namespace configfile
