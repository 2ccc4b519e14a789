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

// A symbolic link as target is followed, so that the file it names gets the new content.
std::string ResolvedTarget(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return path;
    }
    char resolved[MAX_PATH + 8] = {};
    const DWORD n =
        GetFinalPathNameByHandleA(h, resolved, sizeof resolved, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    return n > 0 && n < sizeof resolved ? std::string(resolved, n) : path;
}

}  // namespace

bool AtomicFileWriter::Open(const std::string& targetPath) {
    Abandon();
    m_failedStep = ReplaceStep::kNone;
    m_error = 0;
    m_reason.clear();
    m_targetPath = ResolvedTarget(targetPath);
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
    // Only a regular file or nothing is replaced; a link was resolved in Open, so one found now
    // (the attributes are those of the entry itself) is left alone too.
    const DWORD attributes = GetFileAttributesA(m_targetPath.c_str());
    if (!TargetStillReplaceable()) {
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return Fail(ReplaceStep::kRename, 0, "it is a symbolic link");
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

}  // namespace platform
