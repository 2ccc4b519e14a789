// Running marlinq-cli from a benchmark: the program to its end, and the CPU time its children used.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "simulator/module_rack.h"

extern char** environ;

namespace benchrun {

inline double CpuSeconds(const rusage& r) {
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Runs the program with args to its end, its output thrown away; its exit code, -1 when it did
// not exit.
inline int RunToEnd(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The COM numbers of rack's modules as --ports takes them: "201,202".
inline std::string PortList(const sim::ModuleRack& rack) {
    std::string ports;
    for (std::size_t i = 0; i < rack.Size(); ++i) {
        ports += (i == 0 ? "" : ",") + std::to_string(rack.Module(i).Com());
    }
    return ports;
}

// A copy of marlinq-cli in a folder of its own under the temporary folder, so that the records
// file and traffic log it writes stay there; the folder goes with the object.
class ProgramCopy {
  public:
    ProgramCopy(const std::string& tag, const std::string& program)
        : m_dir(std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::filesystem::copy_file(program, m_dir / "marlinq-cli");
    }
    ~ProgramCopy() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    std::string Path() const { return (m_dir / "marlinq-cli").string(); }

  private:
    std::filesystem::path m_dir;
};

struct TimedRun {
    int code = -1;
    double wallSeconds = 0;
    double childCpuSeconds = 0;  // the program and everything it started
    double peakRssMiB = 0;       // the largest of the children so far
};

// RunToEnd, timed on the wall clock and in the CPU time of the children.
inline TimedRun RunTimed(const std::string& program, const std::vector<std::string>& args) {
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    TimedRun run;
    run.code = RunToEnd(program, args);
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    run.childCpuSeconds = CpuSeconds(after) - CpuSeconds(before);
    run.peakRssMiB = static_cast<double>(after.ru_maxrss) / 1024.0;
    return run;
}

}  // namespace benchrun
