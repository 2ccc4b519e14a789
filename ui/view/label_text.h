// Label texts as a view draws them.
#pragma once

#include <string>

namespace marlinq::view {

// Labels end in a full-width colon ("APN："); a view whose font has no such glyph shows a plain one.
inline std::string PlainColons(const std::string& text) {
    static const std::string wide = "\xEF\xBC\x9A";  // U+FF1A in UTF-8
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, wide.size(), wide) == 0) {
            out += ':';
            i += wide.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace marlinq::view
