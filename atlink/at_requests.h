// The request texts of the AT commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace atlink {

inline constexpr const char* kCrLf = "\r\n";

// prefix + arg + suffix, or nullopt when arg holds CR or LF (which would end the command line
// early and start a second command). Everything else in arg is sent as given.
inline std::optional<std::string> SetRequest(std::string_view prefix, std::string_view arg,
                                             std::string_view suffix = kCrLf) {
    if (arg.find_first_of("\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(prefix.size() + arg.size() + suffix.size());
    out.append(prefix).append(arg).append(suffix);
    return out;
}

// The APN travels as context 1 of type IP, between double quotes.
inline constexpr std::string_view kApnPrefix = "AT+CGDCONT=1,\"IP\",\"";
inline constexpr std::string_view kApnSuffix = "\"\r\n";

}  // namespace atlink
