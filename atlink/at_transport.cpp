#include "atlink/at_transport.h"

#include <cstring>

namespace atlink {

namespace {

AtOutcome OutcomeOf(platform::SerialOpenError error) {
    switch (error) {
        case platform::SerialOpenError::Busy:
            return AtOutcome::Busy;
        case platform::SerialOpenError::Missing:
            return AtOutcome::NoSuchPort;
        default:
            return AtOutcome::CannotOpen;
    }
}

}  // namespace

AtOutcome AtTransport::Open(int nPort) {
    m_port = nPort;
    // The COM number is kept within the 20-character device path of the Windows form "\\.\COM%d".
    if (nPort <= 0 || nPort > 99999) {
        return AtOutcome::NoSuchPort;
    }
    platform::SerialOpenError error = platform::SerialOpenError::None;
    std::string note;
    m_handle = platform::SerialOpen(nPort, &error, &note);
    if (!note.empty()) {
        m_log.Note("COM" + std::to_string(nPort) + ": " + note);
    }
    if (m_handle == platform::kInvalidSerialHandle) {
        return OutcomeOf(error);
    }
    if (!platform::SerialConfigure(m_handle)) {
        return AtOutcome::CannotOpen;
    }
    return AtOutcome::Answered;
}

bool AtTransport::Write(const char* data, std::size_t length, std::string* discarded) {
    discarded->clear();
    if (m_handle == platform::kInvalidSerialHandle) {
        return false;
    }
    platform::SerialDiscardInput(m_handle, discarded, kMaxDiscardLogged);
    // The log holds texts; a NUL among the discarded bytes would end the line early.
    std::erase(*discarded, '\0');
    if (!discarded->empty()) {
        m_log.Received(*discarded);
    }
    m_log.Sent(data != nullptr ? std::string(data) : std::string());
    if (data != nullptr && length > 0) {
        platform::SerialWrite(m_handle, data, length);
    }
    return true;
}

bool AtTransport::Read(char* buffer, std::size_t* count) {
    if (m_handle == platform::kInvalidSerialHandle) {
        *count = 0;
        return false;
    }
    const bool ok = ReadUnlogged(buffer, count);
    // Logged as text up to its first NUL; the count bounds it even if the caller forgot to zero.
    m_log.Received(std::string(buffer, strnlen(buffer, *count)));
    return ok;
}

bool AtTransport::ReadUnlogged(char* buffer, std::size_t* count) {
    *count = 0;
    if (m_handle == platform::kInvalidSerialHandle) {
        return false;
    }
    return platform::SerialRead(m_handle, buffer, kReadLimit, count);
}

void AtTransport::Close() {
    if (m_handle != platform::kInvalidSerialHandle) {
        platform::SerialClose(m_handle);
        m_handle = platform::kInvalidSerialHandle;
    }
}

}  // namespace atlink
