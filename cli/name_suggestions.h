// The names to suggest for a parameter name that names none: the closest by edit distance.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlinq::cli {

// Edits (insert, delete, replace, swap of two neighbours) that turn a into b, ASCII case ignored.
std::size_t EditDistance(std::string_view a, std::string_view b);

// Up to three of names closest to word, closest first (ties in the order of names). A name is
// close when few edits turn word into it, or into the part after its dot when word has no dot
// ("prot" into "Port" of "tcp.Port"): at most a third of word's length, and at least one.
std::vector<std::string> ClosestNames(std::string_view word, const std::vector<std::string>& names);

// "; did you mean tcp.Port?" or "; did you mean a, b or c?"; empty for no suggestion.
std::string DidYouMean(const std::vector<std::string>& suggestions);

}  // namespace marlinq::cli
