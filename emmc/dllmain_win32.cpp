// Entry point of Tarnwick.dll: one debug line per notification; always reports success.
#include <windows.h>

#include "debug_channel.h"
#include "lifecycle_messages.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            tarnwick::WriteDebugLine(tarnwick::kProcessAttachLine);
            break;
        case DLL_PROCESS_DETACH:
            tarnwick::WriteDebugLine(tarnwick::kProcessDetachLine);
            break;
        case DLL_THREAD_ATTACH:
            tarnwick::WriteDebugLine(tarnwick::kThreadAttachLine);
            break;
        case DLL_THREAD_DETACH:
            tarnwick::WriteDebugLine(tarnwick::kThreadDetachLine);
            break;
        default:
            break;
    }
    return TRUE;
}
