#include "records/record_check.h"

#include "records/utc_time.h"

namespace records {

namespace {

// Length of the UTF-8 sequence that starts at text[i]; 0 when it is not a valid one (overlong
// forms, surrogates and code points above U+10FFFF included).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    unsigned cp = 0;
    unsigned lowest = 0;
    if (b < 0x80) {
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        n = 2, cp = b & 0x1F, lowest = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, cp = b & 0x0F, lowest = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, cp = b & 0x07, lowest = 0x10000;
    } else {
        return 0;
    }
    if (i + n > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

enum class Lines { Refused, Allowed };

// Empty when text is valid UTF-8 of at most limit bytes without NUL and, unless lines are
// allowed, without any control character; else why not, naming what.
std::string CheckText(const std::string& what, std::string_view text, std::size_t limit, Lines lines) {
    if (text.size() > limit) {
        return what + " is " + std::to_string(text.size()) + " bytes long, more than " +
               std::to_string(limit);
    }
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool lineControl = c == '\n' || c == '\r' || c == '\t';
        if (c == 0 || ((c < 0x20 || c == 0x7F) && !(lineControl && lines == Lines::Allowed))) {
            return what + " '" + Shown(text) + "' holds a control character";
        }
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            return what + " '" + Shown(text) + "' is not UTF-8 text";
        }
        i += n;
    }
    return {};
}

bool IsParameterName(std::string_view name) {
    if (name.empty() || name.size() > kParameterNameBytes) {
        return false;
    }
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '.' || c == '_' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool IsImsi(std::string_view imsi) {
    if (imsi.size() < 6 || imsi.size() > 15) {
        return false;
    }
    for (const char c : imsi) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string CheckFields(const ProductionRecord& r) {
    if (!IsLowerHex(r.key, kKeyDigits)) {
        return "the record key '" + Shown(r.key) + "' is not 32 lower-case hex digits";
    }
    if (!IsUtcTimestamp(r.started)) {
        return "the start time '" + Shown(r.started) + "' is not a UTC time like 2026-12-10T02:23:00Z";
    }
    if (!IsUtcTimestamp(r.ended)) {
        return "the end time '" + Shown(r.ended) + "' is not a UTC time like 2026-12-10T02:23:00Z";
    }
    if (r.ended < r.started) {
        return "the end time " + r.ended + " is before the start time " + r.started;
    }
    if (r.station.empty()) {
        return "the station is empty";
    }
    for (const auto& [what, text] : {std::pair<const char*, const std::string&>{"the station", r.station},
                                     {"the operator", r.operatorName},
                                     {"the application version", r.appVersion},
                                     {"the hardware version", r.hardwareVersion}}) {
        if (auto e = CheckText(what, text, kNameBytes, Lines::Refused); !e.empty()) {
            return e;
        }
    }
    if (r.port < 0 || r.port > kHighestPort) {
        return "the port COM" + std::to_string(r.port) + " is not 1 to " + std::to_string(kHighestPort);
    }
    if (!r.imsi.empty() && !IsImsi(r.imsi)) {
        return "the IMSI '" + Shown(r.imsi) + "' is not 6 to 15 digits";
    }
    if (auto e = CheckText("the parameter file's name", r.parameterFile, kFileNameBytes, Lines::Refused);
        !e.empty()) {
        return e;
    }
    if (!r.parameterSha256.empty() && !IsLowerHex(r.parameterSha256, kDigestDigits)) {
        return "the parameter file's SHA-256 '" + Shown(r.parameterSha256) +
               "' is not 64 lower-case hex digits";
    }
    return CheckText("the failure message", r.failure, kMessageBytes, Lines::Allowed);
}

std::string CheckValues(const ProductionRecord& r) {
    if (r.values.size() > kValuesPerRecord) {
        return std::to_string(r.values.size()) + " values sent, more than " +
               std::to_string(kValuesPerRecord);
    }
    if (r.differences.size() > kValuesPerRecord) {
        return std::to_string(r.differences.size()) + " differences, more than " +
               std::to_string(kValuesPerRecord);
    }
    for (const auto& v : r.values) {
        if (!IsParameterName(v.name)) {
            return "the parameter name '" + Shown(v.name) + "' is not a name like tcp.Port";
        }
        if (auto e = CheckText("the value of " + v.name, v.value, kValueBytes, Lines::Allowed); !e.empty()) {
            return e;
        }
    }
    for (const auto& d : r.differences) {
        if (!IsParameterName(d.name)) {
            return "the parameter name '" + Shown(d.name) + "' of a difference is not a name like tcp.Port";
        }
        if (auto e = CheckText("the value sent of " + d.name, d.sent, kValueBytes, Lines::Allowed);
            !e.empty()) {
            return e;
        }
        if (auto e = CheckText("the value reported of " + d.name, d.reported, kValueBytes, Lines::Allowed);
            !e.empty()) {
            return e;
        }
    }
    return {};
}

std::string CheckOutcome(const ProductionRecord& r) {
    switch (r.outcome) {
        case Outcome::Passed:
            if (!r.differences.empty()) {
                return "a passed record lists differences";
            }
            if (!r.failure.empty()) {
                return "a passed record has a failure message";
            }
            break;
        case Outcome::Failed:
            if (r.failure.empty()) {
                return "a failed record has no failure message";
            }
            break;
        case Outcome::Mismatch:
            if (r.differences.empty()) {
                return "a mismatch record lists no difference";
            }
            break;
    }
    return {};
}

}  // namespace

bool IsLowerHex(std::string_view text, std::size_t digits) {
    if (text.size() != digits) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

std::string Shown(std::string_view text, std::size_t limit) {
    std::string shown;
    for (const char c : text.substr(0, limit)) {
        const auto u = static_cast<unsigned char>(c);
        shown += u < 0x20 || u == 0x7F ? '?' : c;
    }
    return text.size() > limit ? shown + "..." : shown;
}

std::string CheckRecord(const ProductionRecord& record) {
    if (auto e = CheckFields(record); !e.empty()) {
        return e;
    }
    if (auto e = CheckValues(record); !e.empty()) {
        return e;
    }
    return CheckOutcome(record);
}

}  // namespace records
