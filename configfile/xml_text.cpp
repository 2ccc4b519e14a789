#include "configfile/xml_text.h"

#include <cstdint>

namespace configfile {

namespace {

// Length of the well-formed UTF-8 sequence at text[pos] and its code point; 0 when ill-formed.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, std::uint32_t* codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) {
            return 0;
        }
        cp = (cp << 6) | (byte(i) & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    *codePoint = cp;
    return length;
}

}  // namespace

std::size_t FirstInvalidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::uint32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, pos, &cp);
        if (length == 0) {
            return pos;
        }
        pos += length;
    }
    return text.size();
}

bool IsValidUtf8(std::string_view text) {
    return FirstInvalidUtf8(text) == text.size();
}

std::string XmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::uint32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, pos, &cp);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++pos;
            continue;
        }
        if (cp == '\r') {
            out += '\n';
            pos += (pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
            continue;
        }
        const bool forbidden = (cp < 0x20 && cp != '\t' && cp != '\n') || cp == 0xFFFE || cp == 0xFFFF;
        if (!forbidden) {
            out.append(text.substr(pos, length));
        }
        pos += length;
    }
    return out;
}

}  // namespace configfile
