// A child program that the caller follows to its end: it reads the child's standard output and
// standard error (one pipe) line by line, may end it at any time, and gets its exit code.
//
// The child runs in a process group (POSIX) or job (Windows) of its own: a Ctrl+C at the terminal
// reaches only this program, which decides what its children do, and Kill ends the child with
// whatever it started. The child's standard input is empty. No other handle or descriptor of this
// program reaches the child, so a child that hangs holds no serial port or file of ours.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/child_process.h"

namespace platform {

// A line longer than this is cut here; the rest of it is dropped.
inline constexpr std::size_t kWorkerLineLimit = 64 * 1024;

class WorkerProcess {
  public:
    // Starts command (its program and arguments, and its working directory when not empty);
    // nullptr with the reason in *error when it could not be started.
    static std::unique_ptr<WorkerProcess> Start(const ChildCommand& command, std::string* error);

    // Ends a child that still runs and collects it.
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // The next line of the child's output without its line end (LF or CR LF); blocks until one is
    // whole. A last line without a line end counts. false once the output has ended. One thread
    // reads.
    bool ReadLine(std::string* line);

    // Ends the child and what it started; from any thread, also after it ended.
    void Kill();

    // Waits for the child to end: its exit code, or -1 when it was ended by a signal or killed.
    int Wait();

    struct Os;  // what the backend keeps

  private:
    explicit WorkerProcess(std::unique_ptr<Os> os);
    // Up to size bytes of output into buffer; 0 at the end of the output.
    std::size_t ReadSome(char* buffer, std::size_t size);

    std::unique_ptr<Os> m_os;
    std::string m_pending;  // read, not yet handed out as a line
    bool m_ended = false;
    bool m_cutting = false;  // dropping the rest of a line that was cut
};

}  // namespace platform
