// Text as a view draws it: control characters (a caption's leading escape character, say) are
// not drawn.
#pragma once

#include <string>
#include <string_view>

namespace fw {

inline std::string DrawnText(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) {
            out += c;
        }
    }
    return out;
}

}  // namespace fw
