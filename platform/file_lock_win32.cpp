#include <windows.h>

#include <io.h>

#include <thread>

#include "platform/file_lock.h"

namespace platform {

namespace {

HANDLE HandleOf(std::FILE* stream) {
    const intptr_t os = ::_get_osfhandle(::_fileno(stream));
    return os == -1 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(os);
}

}  // namespace

bool LockWholeFile(std::FILE* stream, std::chrono::milliseconds patience) {
    const HANDLE file = HandleOf(stream);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    OVERLAPPED whole{};
    while (file == INVALID_HANDLE_VALUE ||
           !::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                         &whole)) {
        if (file == INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_LOCK_VIOLATION ||
            std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void UnlockWholeFile(std::FILE* stream) {
    OVERLAPPED whole{};
    ::UnlockFileEx(HandleOf(stream), 0, MAXDWORD, MAXDWORD, &whole);
}

bool EmptyFile(std::FILE* stream) {
    return std::fflush(stream) == 0 && ::_chsize(::_fileno(stream), 0) == 0 &&
           std::fseek(stream, 0, SEEK_SET) == 0;
}

}  // namespace platform
