// Pure helpers that look into AT answer texts. They never read past the text they are given
// and never produce a value longer than its field.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace atlink {

inline bool HasOk(std::string_view answer) {
    return answer.find("OK") != std::string_view::npos;
}
inline bool HasError(std::string_view answer) {
    return answer.find("ERROR") != std::string_view::npos;
}

// The value after the first occurrence of prefix (searched from position from) up to the first
// terminator after it, cut into a zero-filled field of fieldSize bytes (one byte is the NUL, so
// at most fieldSize - 1 characters survive). nullopt when the prefix is absent. When no
// terminator follows in this text the value is incomplete (its rest is still on the line): it
// is then the empty text, and *valueEnd is the end of the text.
std::optional<std::string> CutValue(std::string_view answer, std::string_view prefix,
                                    std::string_view terminator, std::size_t fieldSize, std::size_t from = 0,
                                    std::size_t* valueEnd = nullptr);

// The usual decimal conversion: leading blanks skipped, an optional sign, digits up to the first
// non-digit; no digits give 0. Values beyond the int range are clamped instead of overflowing.
int DecimalValue(std::string_view text);

}  // namespace atlink
