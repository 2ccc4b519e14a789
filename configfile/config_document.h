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
// - UTF-8 with or without a byte-order mark, and UTF-16 with one, are accepted.
// Refused before any value is taken from it, with the reason: a path that is not a regular file,
// a file larger than kMaxConfigFileBytes, bytes that are not UTF-8 (configfile/xml_source.h), a
// document type declaration, a character XML does not allow (&#0; included), a reference XML does
// not define, a document that is not well-formed, or one nested deeper than kMaxConfigDepth.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "configfile/config_layout.h"
#include "configfile/xml_source.h"

namespace configfile {

inline constexpr std::size_t kMaxConfigFileBytes = 1024 * 1024;
inline constexpr std::size_t kMaxConfigDepth = 64;

enum class ConfigReadOutcome {
    kRead,                // *values holds the file's values
    kCannotOpen,          // the file does not exist or cannot be read
    kTooLarge,            // larger than kMaxConfigFileBytes
    kNotWellFormed,       // not an XML document, or a reference XML does not define
    kTooDeep,             // elements nested deeper than kMaxConfigDepth
    kWrongRoot,           // the root element is not "system" in any letter case
    kNotRegularFile,      // a directory, a FIFO, a device: never opened for reading
    kNotUtf8,             // bytes that are not UTF-8 (or UTF-16 with its byte-order mark)
    kDoctype,             // a document type declaration
    kForbiddenCharacter,  // a character XML does not allow, written out or as a reference
};

// Why a file was refused.
struct ConfigReadProblem {
    ConfigReadOutcome outcome = ConfigReadOutcome::kRead;
    std::size_t offset = kNoOffset;  // the byte of the file, when known
    std::string reason;              // "not UTF-8 at byte 2041", "it is a FIFO, not a regular file"
};

// The document for values; the fixed leaves get their fixed texts, every other value passes
// through XmlSafeText.
std::string WriteConfigDocument(const ConfigValues& values);

// Reads the values of a document held in memory. On any outcome other than kRead, *values is
// left as it was and *problem (when given) says why.
ConfigReadOutcome ParseConfigDocument(std::string_view bytes, ConfigValues* values,
                                      ConfigReadProblem* problem = nullptr);

// Reads the file at path: only a regular file is opened (without waiting on it), and its size is
// checked before any byte of it is parsed.
ConfigReadOutcome ReadConfigFile(const std::string& path, ConfigValues* values,
                                 ConfigReadProblem* problem = nullptr);

}  // namespace configfile
