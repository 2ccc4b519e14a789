// The child process runner on Windows: the command interpreter line, as the tool has always run it.
//
// The interpreter starts in the command's working directory when that exists, so that the line's own
// "cd" cannot leave it on another drive (cd changes the folder of a drive, not the current drive);
// otherwise in this program's current directory, where the line's "cd" reports the missing folder.
// The child is created suspended and put in a job of its own before it runs, so that a cancel ends
// the interpreter together with every program it started (adb under cmd.exe); a cancel also breaks
// the pending read, for a pipe that some process outside the job still holds open.
#include <windows.h>

#include <cstdio>
#include <mutex>
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

// A child inherits every inheritable handle of this process. While one run holds an inheritable
// write end, no other run may start a child, or that child would keep the first pipe open and
// its reader would wait for the end of a stranger.
std::mutex g_inheritMutex;

// Ends the child and everything it started: the job when there is one, else the child alone.
struct Running {
    std::mutex mutex;
    HANDLE job = nullptr;
    HANDLE process = nullptr;
    HANDLE reader = nullptr;  // the thread that reads
    void End() {
        std::lock_guard lock(mutex);
        if (job != nullptr) {
            TerminateJobObject(job, 1);
        } else if (process != nullptr) {
            TerminateProcess(process, 1);
        }
        if (reader != nullptr) {
            CancelSynchronousIo(reader);
        }
    }
};

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::string CommandLineText(const ChildCommand& command) {
    return command.interpreterLine;
}

void ReapEndedChildren() {
    // Process handles are closed once the first block is read; nothing is left to release.
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

    char buffer[kCommandLineLimit] = {};
    std::snprintf(buffer, sizeof buffer, "%s", line.c_str());

    Handle job(CreateJobObjectA(nullptr, nullptr));
    Handle reader;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &reader.h, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    Running running;
    running.reader = reader.h;
    if (cancel != nullptr && !cancel->Attach([&running] { running.End(); })) {
        result.status = ChildStatus::Cancelled;
        return result;
    }
    auto detach = [cancel] {
        if (cancel != nullptr) {
            cancel->Detach();
        }
    };

    Handle readEnd, process;
    {
        std::lock_guard inheritLock(g_inheritMutex);
        SECURITY_ATTRIBUTES sa{};
        sa.nLength = sizeof sa;
        sa.lpSecurityDescriptor = nullptr;
        sa.bInheritHandle = TRUE;
        Handle writeEnd;
        if (!CreatePipe(&readEnd.h, &writeEnd.h, &sa, 0)) {
            result.error = static_cast<int>(GetLastError());
            detach();
            result.status = ChildStatus::PipeFailed;
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

        const char* startIn =
            IsDirectory(command.workingDirectory) ? command.workingDirectory.c_str() : nullptr;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, startIn, &si,
                            &pi)) {
            result.error = static_cast<int>(GetLastError());
            detach();
            result.status = ChildStatus::StartFailed;
            return result;
        }
        process.h = pi.hProcess;
        const bool inJob = job.h != nullptr && AssignProcessToJobObject(job.h, pi.hProcess);
        {
            std::lock_guard lock(running.mutex);
            running.job = inJob ? job.h : nullptr;
            running.process = pi.hProcess;
        }
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);
        // From here on only the child holds the write end: the read reports the end of the data
        // once the child and every process it started have closed theirs.
        writeEnd.Close();
    }
    if (cancel != nullptr && cancel->Cancelled()) {
        running.End();  // cancelled while it was being started
    }

    std::vector<char> out(kFirstBlockLimit + 1, '\0');
    DWORD got = 0;
    const BOOL ok = ReadFile(readEnd.h, out.data(), static_cast<DWORD>(kFirstBlockLimit), &got, nullptr);
    detach();
    {
        // The hook is gone; the handles it used may now be closed.
        std::lock_guard lock(running.mutex);
        running.job = nullptr;
        running.process = nullptr;
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
