// What the POSIX child runners hand to posix_spawn. The child's standard output and error are one
// descriptor of the caller's (standard input stays as it is unless the null device is asked
// for), it runs in the folder the command names, every other descriptor is closed in it, it
// leads a process group of its own (so ending the group ends whatever it started), it starts
// with no signal blocked and takes the default action for the signals named. The argument vector
// is the program and its arguments, never a shell.
#pragma once

#include <signal.h>
#include <spawn.h>

#include <initializer_list>
#include <vector>

#include "platform/child_process.h"

namespace platform {

class SpawnSetup {
  public:
    enum class Input { Inherited, NullDevice };

    SpawnSetup(const ChildCommand& command, int outFd, Input input,
               std::initializer_list<int> defaultSignals);
    ~SpawnSetup();
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // posix_spawn's result: 0, or the error number.
    int Spawn(pid_t* pid);

  private:
    const ChildCommand& m_command;
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attr;
    std::vector<char*> m_argv;
};

}  // namespace platform
