#include "platform/spawn_setup_posix.h"

#include <fcntl.h>
#include <unistd.h>

extern char** environ;

namespace platform {

SpawnSetup::SpawnSetup(const ChildCommand& command, int outFd, Input input,
                       std::initializer_list<int> defaultSignals)
    : m_command(command) {
    posix_spawn_file_actions_init(&m_actions);
    if (input == Input::NullDevice) {
        posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&m_actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&m_actions, outFd, STDERR_FILENO);
    if (!command.workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&m_actions, command.workingDirectory.c_str());
    }
    posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1);

    posix_spawnattr_init(&m_attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : defaultSignals) {
        sigaddset(&defaults, signal);
    }
    posix_spawnattr_setsigmask(&m_attr, &none);
    posix_spawnattr_setsigdefault(&m_attr, &defaults);
    posix_spawnattr_setpgroup(&m_attr, 0);
    posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    m_argv.push_back(const_cast<char*>(command.program.c_str()));
    for (const auto& arg : command.args) {
        m_argv.push_back(const_cast<char*>(arg.c_str()));
    }
    m_argv.push_back(nullptr);
}

SpawnSetup::~SpawnSetup() {
    posix_spawnattr_destroy(&m_attr);
    posix_spawn_file_actions_destroy(&m_actions);
}

int SpawnSetup::Spawn(pid_t* pid) {
    return ::posix_spawn(pid, m_command.program.c_str(), &m_actions, &m_attr, m_argv.data(), environ);
}

}  // namespace platform
