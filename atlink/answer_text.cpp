#include "atlink/answer_text.h"

#include <climits>

namespace atlink {

std::optional<std::string> CutValue(std::string_view answer, std::string_view prefix,
                                    std::string_view terminator, std::size_t fieldSize, std::size_t from,
                                    std::size_t* valueEnd) {
    if (from > answer.size()) {
        return std::nullopt;
    }
    const std::size_t at = answer.find(prefix, from);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + prefix.size();
    const std::size_t end = terminator.empty() ? std::string_view::npos : answer.find(terminator, start);
    if (valueEnd != nullptr) {
        *valueEnd = end == std::string_view::npos ? answer.size() : end;
    }
    if (end == std::string_view::npos) {
        return std::string();
    }
    std::size_t length = end - start;
    const std::size_t room = fieldSize > 0 ? fieldSize - 1 : 0;
    if (length > room) {
        length = room;
    }
    return std::string(answer.substr(start, length));
}

int DecimalValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace atlink
