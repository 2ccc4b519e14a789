// One pure function per AT command that turns the text of its answer read into its result.
// Each gets the NUL-terminated text of one read (at most 200 bytes) and gives the failure
// value (0 or the empty text) for error answers, missing prefixes and incomplete values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace atlink {

// Widths of the zero-filled fields the values are cut into (one byte is the NUL).
inline constexpr std::size_t kDtuModeField = 10;
inline constexpr std::size_t kCimiField = 60;
inline constexpr std::size_t kDtuCfgField = 200;
inline constexpr std::size_t kCnmpField = 200;
inline constexpr std::size_t kAuthField = 300;
inline constexpr std::size_t kGmrField = 60;
inline constexpr std::size_t kCsubField = 100;
inline constexpr std::size_t kVerField = 60;
inline constexpr std::size_t kAdbField = 10;

// Set commands: success exactly when the answer contains "OK".
bool ParseSetAnswer(std::string_view answer);

int ParseDtuModeAnswer(std::string_view answer);  // 1 or 2, anything else 0
std::string ParseCimiAnswer(std::string_view answer);
std::string ParseDtuCfgAnswer(std::string_view answer);
std::string ParseCnmpAnswer(std::string_view answer);
std::string ParseAuthAnswer(std::string_view answer);
// The APN field of context 1, commas counted from the start of the answer; enclosing double
// quotes are removed.
std::string ParseApnAnswer(std::string_view answer);
std::string ParseGmrAnswer(std::string_view answer);
std::string ParseCsubAnswer(std::string_view answer);  // first + "_" + second
std::string ParseVerAnswer(std::string_view answer);
bool ParseAdbAnswer(std::string_view answer);  // true when the module reports ADB enabled

// The reads whose value may itself be 0 or empty, told apart from a read that got none: the
// number after "+DTUMODE: " whatever it is, and the APN of context 1 as ParseApnAnswer cuts it;
// nullopt when the answer does not hold the value.
std::optional<int> FindDtuModeValue(std::string_view answer);
std::optional<std::string> FindApnValue(std::string_view answer);

}  // namespace atlink
