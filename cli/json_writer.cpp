#include "cli/json_writer.h"

namespace marlinq::cli {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at text[i]; 0 when the bytes there are not one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong form
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string JsonQuoted(std::string_view text) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(text, i);
            quoted += length == 0 ? std::string(kReplacement) : std::string(text.substr(i, length));
            i += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    quoted += std::string("\\u00") + kHex[c >> 4] + kHex[c & 0xF];
                } else {
                    quoted += static_cast<char>(c);
                }
        }
        ++i;
    }
    return quoted + "\"";
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_levels.empty()) {
        m_text += m_levels.back().empty ? "\n" : ",\n";
        m_levels.back().empty = false;
        m_text += std::string(2 * m_levels.size(), ' ');
    }
}

JsonWriter& JsonWriter::Open(char bracket) {
    BeforeValue();
    m_text += bracket;
    m_levels.push_back({true});
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
    if (m_levels.empty()) {
        return *this;
    }
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty) {
        m_text += "\n" + std::string(2 * m_levels.size(), ' ');
    }
    m_text += bracket;
    return *this;
}

JsonWriter& JsonWriter::BeginObject() {
    return Open('{');
}
JsonWriter& JsonWriter::EndObject() {
    return Close('}');
}
JsonWriter& JsonWriter::BeginArray() {
    return Open('[');
}
JsonWriter& JsonWriter::EndArray() {
    return Close(']');
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    m_text += JsonQuoted(key) + ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    m_text += JsonQuoted(text);
    return *this;
}

JsonWriter& JsonWriter::Number(long long number) {
    BeforeValue();
    m_text += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_text += "null";
    return *this;
}

}  // namespace marlinq::cli
