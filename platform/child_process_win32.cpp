// The child process runner on Windows: the command interpreter line, as the tool has always run it.
//
// The child is created suspended and put in a job of its own before it runs, so that a cancel ends
// the interpreter together with the program it started; a cancel also breaks the pending read.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/child_process.h"

namespace platform {

namespace {

struct Handle {
    HANDLE h = nullptr;
    Handle() = default;
    explicit Handle(HANDLE value) : h(value) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Close() {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        }
        h = nullptr;
    }
};

}  // namespace

std::string CommandLineText(const ChildCommand& command) {
    return command.interpreterLine;
}

void ReapEndedChildren() {
    // Process handles are closed right after the start; nothing is left to release.
}

ChildResult RunFirstBlock(const ChildCommand& command, ChildCancel* cancel) {
    ChildResult result;
    const std::string line = CommandLineText(command);
    if (line.empty()) {
        result.status = ChildStatus::Refused;
        return result;
    }
    if (line.size() >= kCommandLineLimit) {
        result.status = ChildStatus::TooLong;
        return result;
    }

    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = TRUE;
    Handle readEnd, writeEnd;
    if (!CreatePipe(&readEnd.h, &writeEnd.h, &sa, 0)) {
        result.status = ChildStatus::PipeFailed;
        result.error = static_cast<int>(GetLastError());
        return result;
    }
    // Only the write end goes to the child.
    SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    si.hStdOutput = writeEnd.h;
    si.hStdError = writeEnd.h;
    si.wShowWindow = SW_HIDE;
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;

    char buffer[kCommandLineLimit] = {};
    std::snprintf(buffer, sizeof buffer, "%s", line.c_str());

    Handle job(CreateJobObjectA(nullptr, nullptr));
    Handle thread;  // the thread that reads, so that a cancel can break the read
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread.h, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    if (cancel != nullptr && !cancel->Attach([&job, &thread] {
            if (job.h != nullptr) {
                TerminateJobObject(job.h, 1);
            }
            CancelSynchronousIo(thread.h);
        })) {
        result.status = ChildStatus::Cancelled;
        return result;
    }

    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                        &pi)) {
        if (cancel != nullptr) {
            cancel->Detach();
        }
        result.status = ChildStatus::StartFailed;
        result.error = static_cast<int>(GetLastError());
        return result;
    }
    if (job.h != nullptr) {
        AssignProcessToJobObject(job.h, pi.hProcess);
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    writeEnd.Close();
    if (cancel != nullptr && cancel->Cancelled() && job.h != nullptr) {
        TerminateJobObject(job.h, 1);
    }

    std::vector<char> out(kFirstBlockLimit + 1, '\0');
    DWORD got = 0;
    const BOOL ok = ReadFile(readEnd.h, out.data(), static_cast<DWORD>(kFirstBlockLimit), &got, nullptr);
    if (cancel != nullptr) {
        cancel->Detach();
    }
    if (cancel != nullptr && cancel->Cancelled() && (!ok || got == 0)) {
        result.status = ChildStatus::Cancelled;
        return result;
    }
    if (ok && got > 0) {
        result.output.assign(out.data(), got);
    }
    return result;
}

}  // namespace platform
