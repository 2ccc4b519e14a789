// The parameter file as a document: writing the values as XML text and reading them back.
//
// Written form: one declaration (version 1.0, encoding UTF-8, standalone), the root, the six
// groups and their leaves in file order, each element on its own line indented by two spaces per
// level, a leaf's start tag, value and end tag on one line, LF line ends, no byte-order mark.
//
// Reading rules:
// - the root's name is compared in lower case with "system"; another root rejects the file;
// - each group is the first child element of the root with that name; group order is free;
// - inside a group the leaves are matched by exact, case-sensitive name; the last leaf of a name
//   wins; other elements, comments and processing instructions are ignored;
// - a missing leaf reads as the empty value, and a missing group as six (or however many) missing
//   leaves; the fixed leaves are never read;
// - a leaf's value is all the text inside it, white space at its start and end included;
// - UTF-8 with or without a byte-order mark, and UTF-16, are accepted.
// A file larger than kMaxConfigFileBytes, nested deeper than kMaxConfigDepth, not well-formed or
// whose values are not valid UTF-8 is refused before any value is taken from it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "configfile/config_layout.h"

namespace configfile {

inline constexpr std::size_t kMaxConfigFileBytes = 1024 * 1024;
inline constexpr std::size_t kMaxConfigDepth = 64;

enum class ConfigReadOutcome {
    kRead,           // *values holds the file's values
    kCannotOpen,     // the file does not exist or cannot be read
    kTooLarge,       // larger than kMaxConfigFileBytes
    kNotWellFormed,  // not an XML document, or its values are not UTF-8
    kTooDeep,        // elements nested deeper than kMaxConfigDepth
    kWrongRoot,      // the root element is not "system" in any letter case
};

// The document for values; the fixed leaves get their fixed texts, every other value passes
// through XmlSafeText.
std::string WriteConfigDocument(const ConfigValues& values);

// Reads the values of a document held in memory. On any outcome other than kRead, *values is
// left as it was.
ConfigReadOutcome ParseConfigDocument(std::string_view bytes, ConfigValues* values);

// Reads the file at path: its size is checked before any byte of it is parsed.
ConfigReadOutcome ReadConfigFile(const std::string& path, ConfigValues* values);

}  // namespace configfile
