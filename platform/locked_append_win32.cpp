// LockFileEx-based backend of the locked append.
#include <windows.h>

#include <io.h>

#include <chrono>
#include <thread>

#include "platform/locked_append.h"

namespace platform {

namespace {

constexpr auto kLockPatience = std::chrono::seconds(2);

bool LockWithin(HANDLE file, OVERLAPPED* whole) {
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                         whole)) {
        if (::GetLastError() != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

}  // namespace

bool AppendLocked(std::FILE* stream, const std::string& bytes) {
    const intptr_t os = ::_get_osfhandle(::_fileno(stream));
    if (os == -1) {
        return false;
    }
    const HANDLE file = reinterpret_cast<HANDLE>(os);
    OVERLAPPED whole{};
    if (!LockWithin(file, &whole)) {
        return false;
    }
    // Offset all ones: write at the current end of the file.
    OVERLAPPED atEnd{};
    atEnd.Offset = MAXDWORD;
    atEnd.OffsetHigh = MAXDWORD;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &atEnd) &&
                    written == bytes.size();
    OVERLAPPED unlock{};
    ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &unlock);
    return ok;
}

}  // namespace platform
