// The rules every record follows, checked before a record is stored and again when one is read
// back from a database, so that a damaged or foreign row never reaches the caller unchecked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "records/production_record.h"

namespace records {

inline constexpr std::size_t kKeyDigits = 32;           // 128 bits in hex
inline constexpr std::size_t kDigestDigits = 64;        // SHA-256 in hex
inline constexpr std::size_t kNameBytes = 256;          // station, operator, versions
inline constexpr std::size_t kFileNameBytes = 1024;     // the parameter file's name
inline constexpr std::size_t kParameterNameBytes = 64;  // "tcp.Port"
inline constexpr std::size_t kValueBytes = 4096;        // one value sent or reported
inline constexpr std::size_t kMessageBytes = 4096;      // the first failure's message
inline constexpr std::size_t kValuesPerRecord = 2000;   // values, and differences, per record
inline constexpr int kHighestPort = 9999;               // COM numbers 1 to 9999, 0 for none

// Empty when record follows the rules; otherwise what is wrong and in which field, for example
// "the IMSI '12ab' is not 6 to 15 digits". Text fields are UTF-8 without NUL; names hold no
// control characters; values and the failure message may hold line ends and tabs.
std::string CheckRecord(const ProductionRecord& record);

// True when text is exactly digits lower-case hex digits.
bool IsLowerHex(std::string_view text, std::size_t digits);

// text shortened to at most limit bytes with control characters as '?', for messages that quote it.
std::string Shown(std::string_view text, std::size_t limit = 40);

}  // namespace records
