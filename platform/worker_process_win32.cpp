// The worker process on Windows: CreateProcessW with a command line quoted as the C runtime
// splits it, a job of its own (a Kill ends the child and what it started), a new process group
// (Ctrl+C at the console reaches only this program), the null device as standard input, and only
// the pipe's write end handed down (an explicit handle list, so no other handle of ours leaks).
#include <windows.h>

#include <mutex>
#include <string>

#include "platform/system_error_text.h"
#include "platform/worker_process.h"

namespace platform {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// One argument as the C runtime's command-line splitting gives it back: quoted when it holds a
// blank or a quote or is empty; backslashes doubled where a quote follows them.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::string LastError() {
    return SystemErrorText(static_cast<int>(::GetLastError()));
}

}  // namespace

struct WorkerProcess::Os {
    HANDLE out = nullptr;
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    std::mutex mutex;  // Kill may come from another thread
    bool killed = false;
};

WorkerProcess::WorkerProcess(std::unique_ptr<Os> os) : m_os(std::move(os)) {}

std::unique_ptr<WorkerProcess> WorkerProcess::Start(const ChildCommand& command, std::string* error) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        *error = "cannot create a pipe: " + LastError();
        return nullptr;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);

    HANDLE handed[2] = {writeEnd, nul};
    const DWORD handedCount = nul != INVALID_HANDLE_VALUE ? 2 : 1;
    SIZE_T listBytes = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &listBytes);
    std::string listBuffer(listBytes, '\0');
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBuffer.data());
    const bool listed = ::InitializeProcThreadAttributeList(list, 1, 0, &listBytes) &&
                        ::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handed,
                                                    handedCount * sizeof(HANDLE), nullptr, nullptr);

    STARTUPINFOEXW si{};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    si.StartupInfo.hStdInput = nul != INVALID_HANDLE_VALUE ? nul : nullptr;
    si.StartupInfo.hStdOutput = writeEnd;
    si.StartupInfo.hStdError = writeEnd;
    si.lpAttributeList = listed ? list : nullptr;

    std::wstring line = Quoted(Wide(command.program));
    for (const auto& arg : command.args) {
        line += L" " + Quoted(Wide(arg));
    }
    const std::wstring folder = Wide(command.workingDirectory);
    PROCESS_INFORMATION pi{};
    const DWORD flags = CREATE_SUSPENDED | CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW |
                        CREATE_UNICODE_ENVIRONMENT | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const BOOL started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                          folder.empty() ? nullptr : folder.c_str(), &si.StartupInfo, &pi);
    const std::string why = started ? std::string() : LastError();
    if (listed) {
        ::DeleteProcThreadAttributeList(list);
    }
    ::CloseHandle(writeEnd);  // the read end reports the end once the child's copy is closed
    if (nul != INVALID_HANDLE_VALUE) {
        ::CloseHandle(nul);
    }
    if (!started) {
        ::CloseHandle(readEnd);
        *error = "cannot start " + command.program + ": " + why;
        return nullptr;
    }
    auto os = std::make_unique<Os>();
    os->out = readEnd;
    os->process = pi.hProcess;
    os->job = ::CreateJobObjectW(nullptr, nullptr);
    if (os->job != nullptr && !::AssignProcessToJobObject(os->job, pi.hProcess)) {
        ::CloseHandle(os->job);
        os->job = nullptr;
    }
    ::ResumeThread(pi.hThread);
    ::CloseHandle(pi.hThread);
    return std::unique_ptr<WorkerProcess>(new WorkerProcess(std::move(os)));
}

WorkerProcess::~WorkerProcess() {
    Kill();
    Wait();
    ::CloseHandle(m_os->out);
    ::CloseHandle(m_os->process);
    if (m_os->job != nullptr) {
        ::CloseHandle(m_os->job);
    }
}

std::size_t WorkerProcess::ReadSome(char* buffer, std::size_t size) {
    DWORD n = 0;
    if (!::ReadFile(m_os->out, buffer, static_cast<DWORD>(size), &n, nullptr)) {
        return 0;  // the child's end closed (ERROR_BROKEN_PIPE) or the pipe failed
    }
    return n;
}

void WorkerProcess::Kill() {
    std::lock_guard lock(m_os->mutex);
    m_os->killed = m_os->killed || ::WaitForSingleObject(m_os->process, 0) == WAIT_TIMEOUT;
    if (m_os->job != nullptr) {
        ::TerminateJobObject(m_os->job, 1);
    }
    ::TerminateProcess(m_os->process, 1);  // a handle of ours: never another process
}

int WorkerProcess::Wait() {
    ::WaitForSingleObject(m_os->process, INFINITE);
    DWORD code = 0;
    std::lock_guard lock(m_os->mutex);
    if (m_os->killed || !::GetExitCodeProcess(m_os->process, &code)) {
        return -1;
    }
    return static_cast<int>(code);
}

}  // namespace platform
