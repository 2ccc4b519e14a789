#include <windows.h>

#include "platform/process_alive.h"

namespace platform {

bool ProcessAlive(long pid) {
    if (pid <= 0) {
        return false;
    }
    const HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (h == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const BOOL ok = GetExitCodeProcess(h, &code);
    CloseHandle(h);
    return ok && code == STILL_ACTIVE;
}

long CurrentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

}  // namespace platform
