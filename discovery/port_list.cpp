#include "discovery/port_list.h"

#include <algorithm>

namespace discovery {

namespace {

constexpr std::size_t kMaxNameChars = 255;  // a longer friendly name or port name is cut
constexpr int kMaxNumber = 999999999;

// The last k characters of text; the whole text when k exceeds its length.
std::string Last(const std::string& text, std::size_t k) {
    return k >= text.size() ? text : text.substr(text.size() - k);
}

int LeadingNumber(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        if (value > (kMaxNumber - (c - '0')) / 10) {
            return kMaxNumber;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::optional<PortListEntry> PortEntryFromFriendlyName(const std::string& friendlyIn) {
    const std::string n = friendlyIn.substr(0, kMaxNameChars);
    const std::size_t npos = std::string::npos;
    const std::size_t p = n.find('(');
    std::size_t q = n.find("Enhanced");
    if (q == npos) {
        q = n.find("Standard");
    }
    const std::string raw = p == npos ? n : Last(n, n.size() - p);
    std::string display;
    if (q == npos) {
        display = raw + " " + (p == npos ? std::string() : n.substr(0, p));
    } else {
        display = Last(n, n.size() - q) + " " + n.substr(0, q);
    }
    std::string port = raw;
    while (!port.empty() && port.back() == ')') {
        port.pop_back();
    }
    port.erase(0, std::min(port.find_first_not_of('('), port.size()));
    if (port.compare(0, 3, "COM") != 0 || port.size() < 3) {
        return std::nullopt;
    }
    return PortListEntry{port, display};
}

bool PortEntryLess(const std::string& a, const std::string& b) {
    const bool aFirst = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                     [](char x, char y) { return Lower(x) < Lower(y); });
    const bool bFirst = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                     [](char x, char y) { return Lower(x) < Lower(y); });
    if (aFirst || bFirst) {
        return aFirst;
    }
    return a < b;
}

std::vector<std::string> BuildPortList(const std::vector<std::string>& friendlyNames,
                                       const std::vector<std::string>& serialPortNames) {
    std::vector<std::string> ports;
    std::vector<std::string> entries;
    for (const auto& friendly : friendlyNames) {
        if (auto entry = PortEntryFromFriendlyName(friendly)) {
            ports.push_back(entry->portName);
            entries.push_back(entry->display);
        }
    }
    for (const auto& nameIn : serialPortNames) {
        const std::string name = nameIn.substr(0, kMaxNameChars);
        if (std::find(ports.begin(), ports.end(), name) == ports.end()) {
            entries.push_back("(" + name + ")");
        }
    }
    std::stable_sort(entries.begin(), entries.end(), PortEntryLess);
    return entries;
}

int PortNumberFromEntry(const std::string& entry) {
    const auto open = entry.find('(');
    const auto close = entry.find(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return 0;
    }
    const std::string inner = entry.substr(open + 1, close - open - 1);
    return inner.size() > 3 ? LeadingNumber(inner.substr(3)) : 0;
}

int PortNumberFromName(const std::string& name) {
    std::string digits;
    for (char c : name.substr(0, kMaxNameChars)) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : LeadingNumber(digits.substr(first));
}

}  // namespace discovery
