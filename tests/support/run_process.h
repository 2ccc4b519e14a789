// Runs a program with an argument vector and captures its standard output and error; for tests.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not end by exiting (a signal ended it)
    int signal = 0;     // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

// A running child with pipes on its standard input and output; standard error goes to a file.
class ChildProcess {
  public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args) {
        static int serial = 0;
        m_errPath = (std::filesystem::temp_directory_path() / ("marlinq-child-" + std::to_string(::getpid()) +
                                                               "-" + std::to_string(++serial) + ".err"))
                        .string();
        int in[2];
        int out[2];
        if (pipe(in) != 0 || pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        m_in = in[1];
        m_out = out[0];
    }
    ~ChildProcess() {
        CloseInput();
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
        std::error_code ec;
        std::filesystem::remove(m_errPath, ec);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    void CloseInput() {
        if (m_in >= 0) {
            close(m_in);
            m_in = -1;
        }
    }
    // Writes text to the child's standard input; false when it cannot.
    bool Write(const std::string& text) {
        std::size_t done = 0;
        while (m_in >= 0 && done < text.size()) {
            const ssize_t n = write(m_in, text.data() + done, text.size() - done);
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return done == text.size();
    }
    // Reads standard output until it holds text (true) or timeoutMs pass or the output ends.
    bool ReadUntil(const std::string& text, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_collected.find(text) == std::string::npos) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                    .count();
            pollfd pfd{m_out, POLLIN, 0};
            if (left <= 0 || ::poll(&pfd, 1, static_cast<int>(left)) <= 0 || !ReadSome()) {
                return m_collected.find(text) != std::string::npos;
            }
        }
        return true;
    }
    // The standard output read so far.
    const std::string& Output() const { return m_collected; }
    // Reads the rest of the output and waits for the end.
    ProcessResult Wait() {
        ProcessResult result;
        while (m_out >= 0 && ReadSome()) {
        }
        if (m_out >= 0) {
            close(m_out);
            m_out = -1;
        }
        if (m_pid > 0) {
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_pid = -1;
            m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            m_signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        }
        result.exitCode = m_exitCode;
        result.signal = m_signal;
        result.out = m_collected;
        std::ifstream err(m_errPath, std::ios::binary);
        result.err.assign(std::istreambuf_iterator<char>(err), {});
        return result;
    }

  private:
    bool ReadSome() {
        char buffer[4096];
        const ssize_t n = read(m_out, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        m_collected.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_exitCode = -1;
    int m_signal = 0;
    std::string m_collected;
    std::string m_errPath;
};

inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
    ChildProcess child(program, args);
    child.CloseInput();
    return child.Wait();
}

}  // namespace testsupport
