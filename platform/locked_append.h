// Appending a record to a file shared with other processes, so that records never interleave.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Writes bytes at the end of the file open in stream (opened for appending, nothing buffered)
// with one write under an exclusive advisory lock of the whole file. false when the lock is not
// had within about two seconds or the write fails; the record is then lost, never torn.
bool AppendLocked(std::FILE* stream, const std::string& bytes);

}  // namespace platform
