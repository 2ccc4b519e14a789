// The bytes of a parameter file made ready for the XML parser, and the rules of XML 1.0 that the
// parser does not check itself.
//
// Accepted: UTF-8 with or without a byte-order mark, UTF-16 with one. A declaration that names
// another encoding is accepted only while every byte is ASCII (where it cannot matter); values are
// always UTF-8. Refused: bytes that are not UTF-8 (UTF-16), a document type declaration (its
// entities would be taken as literal text), control characters XML does not allow, written out or
// as character references (&#0; would cut a value), and references other than the five XML
// predefines and character references.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace configfile {

inline constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

enum class XmlSourceFault {
    kNone,
    kNotUtf8,             // not UTF-8, a broken UTF-16 file, or a foreign encoding with non-ASCII bytes
    kDoctype,             // a document type declaration
    kForbiddenCharacter,  // a character XML does not allow, as itself or as a reference
    kBadReference,        // a reference to an entity XML does not predefine, or a stray '&'
};

struct XmlSourceProblem {
    XmlSourceFault fault = XmlSourceFault::kNone;
    std::size_t offset = kNoOffset;  // the byte of the file where it is, when known
    std::string reason;              // "not UTF-8 at byte 2041"
};

// The document as UTF-8 without a byte-order mark. *base is the offset in the file of the text's
// first byte, or kNoOffset when text offsets do not map onto file bytes (a UTF-16 file).
bool DecodeXmlSource(std::string_view bytes, std::string* text, std::size_t* base, XmlSourceProblem* problem);

// Checks decoded text; base as DecodeXmlSource gives it, to name file offsets.
bool CheckXmlText(std::string_view text, std::size_t base, XmlSourceProblem* problem);

// " at byte N" for the file offset of text offset pos, or nothing when it is not known.
std::string AtByte(std::size_t base, std::size_t pos);

}  // namespace configfile
