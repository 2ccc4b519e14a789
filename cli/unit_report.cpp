#include "cli/unit_report.h"

#include <array>

namespace marlinq::cli {

namespace {

// A field of a report line is at most this long once read back; longer ones are refused.
constexpr std::size_t kFieldLimit = 4096;
constexpr std::size_t kMaxSent = 256;

constexpr std::array<const char*, 4> kOutcomes = {"passed", "failed", "mismatch", "skipped"};
constexpr std::array<const char*, 4> kSteps = {"starting", "reading", "downloading", "verifying"};

std::string Escaped(std::string_view field) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : field) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
                } else {
                    out += ch;
                }
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool Unescaped(std::string_view field, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            *out += field[i];
            continue;
        }
        if (++i >= field.size()) {
            return false;
        }
        switch (field[i]) {
            case '\\':
                *out += '\\';
                break;
            case 't':
                *out += '\t';
                break;
            case 'r':
                *out += '\r';
                break;
            case 'n':
                *out += '\n';
                break;
            case 'x': {
                const int high = i + 2 < field.size() ? HexValue(field[i + 1]) : -1;
                const int low = high >= 0 ? HexValue(field[i + 2]) : -1;
                if (low < 0) {
                    return false;
                }
                *out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return out->size() <= kFieldLimit;
}

std::string Line(std::initializer_list<std::string_view> fields) {
    std::string line(kUnitLineMarker);
    bool first = true;
    for (const auto field : fields) {
        line += (first ? "" : "\t") + Escaped(field);
        first = false;
    }
    return line;
}

// The fields of a report line after the marker; false for a malformed one.
bool Fields(std::string_view text, std::vector<std::string>* fields) {
    fields->clear();
    std::size_t start = 0;
    for (;;) {
        const auto tab = text.find('\t', start);
        std::string field;
        if (!Unescaped(
                text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start),
                &field)) {
            return false;
        }
        fields->push_back(std::move(field));
        if (tab == std::string_view::npos) {
            return true;
        }
        start = tab + 1;
    }
}

template <std::size_t N>
int IndexOf(const std::array<const char*, N>& names, const std::string& name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == names[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

const char* UnitOutcomeText(UnitOutcome outcome) {
    return kOutcomes[static_cast<std::size_t>(outcome)];
}

const char* UnitStepText(UnitStep step) {
    return kSteps[static_cast<std::size_t>(step)];
}

std::string UnitStepLine(UnitStep step) {
    return Line({"step", UnitStepText(step)});
}

std::string UnitModuleLine(const UnitReport& report) {
    return Line({"module", report.imsi, report.appVersion, report.hwVersion, report.firmware});
}

std::string UnitSentLine(const std::string& name, const std::string& value) {
    return Line({"sent", name, value});
}

std::string UnitDifferenceLine(const UnitDifference& difference) {
    return Line({"diff", difference.name, difference.sent, difference.reported});
}

std::string UnitOutcomeLine(UnitOutcome outcome, const std::string& message) {
    return Line({"outcome", UnitOutcomeText(outcome), message});
}

bool ApplyUnitLine(std::string_view line, UnitReport* report) {
    if (line.substr(0, kUnitLineMarker.size()) != kUnitLineMarker) {
        return false;
    }
    std::vector<std::string> f;
    if (!Fields(line.substr(kUnitLineMarker.size()), &f) || report->finished) {
        return false;  // nothing counts after the outcome
    }
    const std::string& kind = f.front();
    if (kind == "step" && f.size() == 2 && IndexOf(kSteps, f[1]) >= 0) {
        report->step = static_cast<UnitStep>(IndexOf(kSteps, f[1]));
    } else if (kind == "module" && f.size() == 5) {
        report->imsi = f[1];
        report->appVersion = f[2];
        report->hwVersion = f[3];
        report->firmware = f[4];
    } else if (kind == "sent" && f.size() == 3 && report->sent.size() < kMaxSent) {
        report->sent.emplace_back(f[1], f[2]);
    } else if (kind == "diff" && f.size() == 4 && report->differences.size() < kMaxSent) {
        report->differences.push_back({f[1], f[2], f[3]});
    } else if (kind == "outcome" && f.size() == 3 && IndexOf(kOutcomes, f[1]) >= 0) {
        report->outcome = static_cast<UnitOutcome>(IndexOf(kOutcomes, f[1]));
        report->failure = f[2];
        report->finished = true;
    } else {
        return false;
    }
    return true;
}

}  // namespace marlinq::cli
