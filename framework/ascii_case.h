// Comparing names as people type them: letters A-Z match their lower case, every other byte only
// itself (no locale, so a name compares the same on every machine).
#pragma once

#include <cstddef>
#include <string_view>

namespace fw {

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace fw
