#include <windows.h>

#include <atomic>

#include "platform/atomic_file.h"
#include "platform/process_alive.h"

namespace platform {

namespace {

std::atomic<unsigned> g_tempCounter{0};

constexpr char kSeparators[] = "\\/";

HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace

bool AtomicFileWriter::Open(const std::string& targetPath) {
    Abandon();
    m_failedStep = ReplaceStep::kNone;
    m_error = 0;
    m_targetPath = targetPath;
    const std::string directory = detail::DirectoryOf(m_targetPath, kSeparators);
    const std::string name = detail::NameOf(m_targetPath, kSeparators);
    if (name.empty()) {
        return Fail(ReplaceStep::kCreate, ERROR_DIRECTORY);
    }
    if (detail::TakeInjectedFault(ReplaceStep::kCreate)) {
        return Fail(ReplaceStep::kCreate, ERROR_WRITE_FAULT);
    }
    RemoveStaleTempFiles(directory, name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            directory + AtomicTempName(name, CurrentProcessId(), g_tempCounter.fetch_add(1));
        const HANDLE h =
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<std::intptr_t>(h);
            m_tempPath = temp;
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return Fail(ReplaceStep::kCreate, static_cast<int>(error));
        }
    }
    return Fail(ReplaceStep::kCreate, ERROR_FILE_EXISTS);
}

bool AtomicFileWriter::Write(const void* data, std::size_t length) {
    if (m_handle == -1) {
        return false;
    }
    if (detail::TakeInjectedFault(ReplaceStep::kWrite)) {
        return Fail(ReplaceStep::kWrite, ERROR_WRITE_FAULT);
    }
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const DWORD chunk = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(AsHandle(m_handle), p, chunk, &written, nullptr) || written == 0) {
            return Fail(ReplaceStep::kWrite, static_cast<int>(GetLastError()));
        }
        p += written;
        length -= written;
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (m_handle == -1) {
        return false;
    }
    if (detail::TakeInjectedFault(ReplaceStep::kSync)) {
        return Fail(ReplaceStep::kSync, ERROR_WRITE_FAULT);
    }
    if (!FlushFileBuffers(AsHandle(m_handle))) {
        return Fail(ReplaceStep::kSync, static_cast<int>(GetLastError()));
    }
    CloseHandle(AsHandle(m_handle));
    m_handle = -1;
    if (detail::TakeInjectedFault(ReplaceStep::kRename)) {
        return Fail(ReplaceStep::kRename, ERROR_WRITE_FAULT);
    }
    // Write-through: the call returns once the renamed entry is on the disk, which stands in for
    // flushing the directory.
    if (!MoveFileExA(m_tempPath.c_str(), m_targetPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Fail(ReplaceStep::kRename, static_cast<int>(GetLastError()));
    }
    m_tempPath.clear();
    if (detail::TakeInjectedFault(ReplaceStep::kSyncDirectory)) {
        return Fail(ReplaceStep::kSyncDirectory, ERROR_WRITE_FAULT);
    }
    return true;
}

void AtomicFileWriter::Abandon() {
    if (m_handle != -1) {
        CloseHandle(AsHandle(m_handle));
        m_handle = -1;
    }
    if (!m_tempPath.empty()) {
        DeleteFileA(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

std::string AtomicFileWriter::ErrorText() const {
    if (m_error == 0) {
        return {};
    }
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(m_error), 0, text, sizeof text, nullptr);
    std::string out(text, n);
    while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out.empty() ? "error " + std::to_string(m_error) : out;
}

}  // namespace platform
