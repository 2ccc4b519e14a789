// Text checks between the parameter values (UTF-8 narrow strings) and XML character data.
#pragma once

#include <string>
#include <string_view>

namespace configfile {

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);
// The offset of the first byte where text stops being well-formed UTF-8; text.size() when it is.
std::size_t FirstInvalidUtf8(std::string_view text);

// The text as XML 1.0 can carry it: an invalid UTF-8 byte becomes U+FFFD, the control characters
// XML forbids (below U+0020 except tab and line feed, and U+FFFE, U+FFFF) are dropped, and a CR
// or CR LF becomes LF, which is what any XML reader makes of a line end. Applying it twice
// changes nothing more.
std::string XmlSafeText(std::string_view text);

}  // namespace configfile
