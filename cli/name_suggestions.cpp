#include "cli/name_suggestions.h"

#include <algorithm>

namespace marlinq::cli {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Longer words are refused before the distance is worked out: no parameter name is that long.
constexpr std::size_t kLongestWord = 64;
constexpr std::size_t kMostSuggestions = 3;

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // Three rows of the distance table: the one before the previous, the previous and this one.
    std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = Lower(a[i - 1]) == Lower(b[j - 1]);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) && Lower(a[i - 2]) == Lower(b[j - 1])) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

std::vector<std::string> ClosestNames(std::string_view word, const std::vector<std::string>& names) {
    if (word.empty() || word.size() > kLongestWord) {
        return {};
    }
    const std::size_t limit = std::max<std::size_t>(1, word.size() / 3);
    const bool dotted = word.find('.') != std::string_view::npos;
    std::vector<std::pair<std::size_t, std::size_t>> close;  // distance, index in names
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = names[i];
        std::size_t distance = EditDistance(word, name);
        const auto dot = name.find('.');
        if (!dotted && dot != std::string_view::npos) {
            distance = std::min(distance, EditDistance(word, name.substr(dot + 1)));
        }
        if (distance <= limit) {
            close.emplace_back(distance, i);
        }
    }
    std::stable_sort(close.begin(), close.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (std::size_t k = 0; k < close.size() && k < kMostSuggestions; ++k) {
        out.push_back(names[close[k].second]);
    }
    return out;
}

std::string DidYouMean(const std::vector<std::string>& suggestions) {
    if (suggestions.empty()) {
        return {};
    }
    std::string text = "; did you mean ";
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == suggestions.size() ? " or " : ", ") + suggestions[i];
    }
    return text + "?";
}

}  // namespace marlinq::cli
