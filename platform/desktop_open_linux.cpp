#include <errno.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "platform/desktop_open.h"

namespace platform {

bool OpenWithDesktop(const std::string& path, const std::string& opener) {
    const std::string program = opener.empty() ? std::string("xdg-open") : opener;
    // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(path.c_str()), nullptr};
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        // The intermediate child starts the opener in its own session and leaves at once, so the
        // opener is adopted by init and no zombie is left behind.
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            const int devnull = open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, STDIN_FILENO);
                dup2(devnull, STDOUT_FILENO);
                dup2(devnull, STDERR_FILENO);
            }
            execvp(argv[0], argv.data());
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
