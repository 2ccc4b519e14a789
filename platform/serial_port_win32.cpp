// Win32 comm backend of the serial port: "\\.\COM%d" with overlapped I/O.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/serial_port.h"

namespace platform {

namespace {

HANDLE FromHandle(SerialHandle handle) {
    return handle == kInvalidSerialHandle ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

SerialOpenError OpenErrorOf(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_ACCESS_DENIED:  // what a COM port already open elsewhere answers
        case ERROR_BUSY:
            return SerialOpenError::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
            return SerialOpenError::Missing;
        default:
            return SerialOpenError::Refused;
    }
}

bool DeviceGone(DWORD error) {
    return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEV_NOT_EXIST ||
           error == ERROR_BAD_COMMAND || error == ERROR_ACCESS_DENIED || error == ERROR_OPERATION_ABORTED;
}

// One overlapped operation: starts it, waits for its end, gives the count. On failure *error
// holds the system's error code, taken before anything else can change it.
template <class Start>
bool Overlapped(HANDLE port, Start start, DWORD* count, DWORD* error) {
    *error = ERROR_SUCCESS;
    OVERLAPPED ov{};
    ov.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (ov.hEvent == nullptr) {
        *error = ::GetLastError();
        return false;
    }
    *count = 0;
    bool ok = start(&ov, count) != FALSE;
    if (!ok) {
        *error = ::GetLastError();
        if (*error == ERROR_IO_PENDING) {
            ok = ::GetOverlappedResult(port, &ov, count, TRUE) != FALSE;
            *error = ok ? ERROR_SUCCESS : ::GetLastError();
        }
    }
    ::CloseHandle(ov.hEvent);
    return ok;
}

}  // namespace

SerialHandle SerialOpen(int comNumber, SerialOpenError* error, std::string* note) {
    // The system ends every claim with the process that made it: none is ever left to clear.
    if (note != nullptr) {
        note->clear();
    }
    SerialOpenError ignored = SerialOpenError::None;
    SerialOpenError& why = error != nullptr ? *error : ignored;
    why = SerialOpenError::None;
    char path[20] = {};
    std::snprintf(path, sizeof path, "\\\\.\\COM%d", comNumber);
    const HANDLE port = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        why = OpenErrorOf(::GetLastError());
        return kInvalidSerialHandle;
    }
    return reinterpret_cast<SerialHandle>(port);
}

bool SerialConfigure(SerialHandle handle) {
    const HANDLE port = FromHandle(handle);
    if (port == INVALID_HANDLE_VALUE) {
        return false;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(SerialReadWait().count());
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kSerialWriteTimeoutMs;
    if (!::SetCommTimeouts(port, &timeouts)) {
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port, &dcb)) {
        return false;
    }
    dcb.BaudRate = kSerialBaudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!::SetCommState(port, &dcb)) {
        return false;
    }
    return ::SetupComm(port, 8192, 8192) != FALSE;
}

bool SerialWrite(SerialHandle handle, const char* data, std::size_t length) {
    const HANDLE port = FromHandle(handle);
    if (port == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    DWORD error = ERROR_SUCCESS;
    const bool ok = Overlapped(
        port,
        [&](OVERLAPPED* ov, DWORD* count) {
            return ::WriteFile(port, data, static_cast<DWORD>(length), count, ov);
        },
        &written, &error);
    if (!ok) {
        DWORD errors = 0;
        ::ClearCommError(port, &errors, nullptr);
    }
    return ok && written == length;
}

bool SerialRead(SerialHandle handle, char* buffer, std::size_t maxBytes, std::size_t* count) {
    *count = 0;
    const HANDLE port = FromHandle(handle);
    if (port == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD got = 0;
    DWORD error = ERROR_SUCCESS;
    if (!Overlapped(
            port,
            [&](OVERLAPPED* ov, DWORD* n) {
                return ::ReadFile(port, buffer, static_cast<DWORD>(maxBytes), n, ov);
            },
            &got, &error)) {
        return !DeviceGone(error);
    }
    *count = got;
    return true;
}

void SerialDiscardInput(SerialHandle handle, std::string* discarded, std::size_t maxBytes) {
    discarded->clear();
    const HANDLE port = FromHandle(handle);
    if (port == INVALID_HANDLE_VALUE) {
        return;
    }
    // What the driver holds is read first (the read time-outs make it return at once with what
    // is queued), so that it can be logged; then the queue is purged.
    DWORD errors = 0;
    COMSTAT status{};
    while (discarded->size() < maxBytes && ::ClearCommError(port, &errors, &status) && status.cbInQue > 0) {
        char chunk[256];
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(
            {sizeof chunk, maxBytes - discarded->size(), static_cast<std::size_t>(status.cbInQue)}));
        DWORD got = 0;
        DWORD error = ERROR_SUCCESS;
        if (!Overlapped(
                port, [&](OVERLAPPED* ov, DWORD* n) { return ::ReadFile(port, chunk, want, n, ov); }, &got,
                &error) ||
            got == 0) {
            break;
        }
        discarded->append(chunk, got);
    }
    ::PurgeComm(port, PURGE_RXCLEAR | PURGE_RXABORT);
}

void SerialClose(SerialHandle handle) {
    const HANDLE port = FromHandle(handle);
    if (port != INVALID_HANDLE_VALUE) {
        ::CloseHandle(port);
    }
}

}  // namespace platform
