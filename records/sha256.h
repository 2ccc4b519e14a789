// SHA-256 digests as 64 lower-case hex digits: the parameter file's fingerprint in a record.
#pragma once

#include <string>
#include <string_view>

namespace records {

std::string Sha256Hex(std::string_view bytes);

// The digest of the file at path, read in blocks; false with the reason in *error when it cannot
// be read.
bool FileSha256Hex(const std::string& path, std::string* hex, std::string* error);

}  // namespace records
