// Runs an outside program as a hidden child process and returns the first block it writes.
//
// The child's standard output and standard error share one pipe. The runner reads once, at most
// kFirstBlockLimit bytes, releases everything it holds of the child and returns without waiting for
// the child to end. A ChildCancel handed in ends a child that the caller waits for (a time-out on
// another thread), so that no thread is left blocked on a command that never returns.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// A command line of this many bytes or more is refused before anything starts.
inline constexpr std::size_t kCommandLineLimit = 1024;
// One read of the output brings at most this many bytes.
inline constexpr std::size_t kFirstBlockLimit = 4095;

struct ChildCommand {
    // Run directly with an argument vector (POSIX): no shell sees the arguments.
    std::string program;            // path of the program
    std::vector<std::string> args;  // the arguments after the program name
    std::string workingDirectory;   // empty (or missing, on Windows): the caller's current directory
    // Run through the command interpreter (Windows): the whole line handed to it. Empty when the
    // command cannot be written safely as an interpreter line; the Windows runner then refuses it.
    std::string interpreterLine;
};

enum class ChildStatus {
    Output,       // the child started; output holds its first block (empty when it wrote nothing)
    TooLong,      // the command line is kCommandLineLimit bytes or longer; nothing was started
    Refused,      // the command cannot be handed to this platform safely; nothing was started
    PipeFailed,   // the pipe could not be created
    StartFailed,  // the process could not be created
    NotFound,     // the program or the working directory does not exist (or may not be run)
    Cancelled,    // ended through ChildCancel before it wrote anything
};

struct ChildResult {
    ChildStatus status = ChildStatus::Output;
    std::string output;
    int error = 0;  // the operating system's error code of a failed start
};

// Ends the child that a runner waits for, from any thread. Once cancelled it stays cancelled: a run
// that starts afterwards starts nothing and reports Cancelled.
class ChildCancel {
  public:
    void Cancel();
    bool Cancelled() const;

    // For the runner: what Cancel runs while a child runs. Attach returns false when already
    // cancelled. Cancel runs the hook under the lock, so after Detach it is never called again.
    bool Attach(std::function<void()> hook);
    void Detach();

  private:
    mutable std::mutex m_mutex;
    bool m_cancelled = false;
    std::function<void()> m_hook;
};

// The command line as this platform hands it over: the interpreter line on Windows, the program
// and its arguments joined by blanks elsewhere. Its length is checked against kCommandLineLimit.
std::string CommandLineText(const ChildCommand& command);

// Starts command and returns its first block of output. cancel may be null.
ChildResult RunFirstBlock(const ChildCommand& command, ChildCancel* cancel);

// Releases the children started by RunFirstBlock that have ended since (never blocks).
void ReapEndedChildren();

}  // namespace platform
