// An exclusive advisory lock on a whole file shared by processes that take turns with it (the
// scratch container every save of every process in one directory goes through).
#pragma once

#include <chrono>
#include <cstdio>

namespace platform {

// Takes the lock of the file open in stream, waiting at most patience for another holder to let
// go; false when it is not had by then. Closing the stream lets go of it too.
bool LockWholeFile(std::FILE* stream, std::chrono::milliseconds patience);
void UnlockWholeFile(std::FILE* stream);

// Cuts the file open in stream to no bytes (after the lock is had, so no holder loses its part).
bool EmptyFile(std::FILE* stream);

}  // namespace platform
