#include "postgres_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

extern char** environ;

namespace testsupport {

namespace fs = std::filesystem;

std::string PostgresBinFolder() {
    std::error_code ec;
    std::string best;
    int bestVersion = -1;
    for (auto it = fs::directory_iterator("/usr/lib/postgresql", ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const int version = std::atoi(name.c_str());
        if (version > bestVersion && fs::exists(it->path() / "bin" / "pg_ctl", ec)) {
            bestVersion = version;
            best = (it->path() / "bin").string();
        }
    }
    return best;
}

int FreeLocalPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    int port = 0;
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        port = ntohs(addr.sin_port);
    }
    if (s >= 0) {
        ::close(s);
    }
    return port;
}

PostgresServer::~PostgresServer() {
    if (m_running) {
        std::string ignored;
        RunTool("pg_ctl", {"-D", m_folder + "/data", "-m", "immediate", "-w", "stop"}, &ignored);
    }
    if (!m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
}

bool PostgresServer::RunTool(const std::string& tool, const std::vector<std::string>& args,
                             std::string* error) {
    return RunProgram(m_bin + "/" + tool, args, true, error);
}

bool PostgresServer::RunProgram(std::string program, const std::vector<std::string>& args, bool asServerUser,
                                std::string* error) {
    const std::string tool = fs::path(program).filename().string();
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    if (asServerUser && ::geteuid() == 0) {
        // The server will not run as root.
        program = fs::exists("/usr/sbin/runuser") ? "/usr/sbin/runuser" : "/sbin/runuser";
        argv.insert(argv.begin(), {program, "-u", "postgres", "--"});
    }
    // The tool's output goes to a file, not a pipe: the server that pg_ctl leaves running would
    // hold a pipe open, and a reader waiting for its end would wait for the server's.
    const std::string output = m_folder + "/tool-output";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> raw;
    for (auto& a : argv) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *error = "cannot start " + program;
        return false;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream out(output);
        std::ifstream log(m_folder + "/log");
        *error = tool + " failed: " + std::string((std::istreambuf_iterator<char>(out)), {}) +
                 "\nserver log:\n" + std::string((std::istreambuf_iterator<char>(log)), {});
        return false;
    }
    return true;
}

bool PostgresServer::Create(std::string* error) {
    m_bin = PostgresBinFolder();
    if (m_bin.empty()) {
        *error =
            "no PostgreSQL server installed (no /usr/lib/postgresql/N/bin/pg_ctl): install the Debian "
            "package postgresql (scripts/setup does), or set MARLINQ_TEST_POSTGRES_URL";
        return false;
    }
    char pattern[] = "/tmp/marlinq-postgres-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        *error = "cannot create a folder for the test server";
        return false;
    }
    m_folder = pattern;
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("postgres");
        if (pw == nullptr || ::chown(m_folder.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
            *error =
                "cannot hand " + m_folder + " to the postgres user (is the postgresql package installed?)";
            return false;
        }
    }
    if (!RunTool("initdb",
                 {"-D", m_folder + "/data", "-A", "trust", "-U", "marlinq", "-N", "-E", "UTF8", "--locale=C"},
                 error)) {
        return false;
    }
    m_port = FreeLocalPort();
    return Start(error);
}

bool PostgresServer::Start(std::string* error) {
    // Only 127.0.0.1, the socket in the cluster's own folder, and no waiting for the disk: the
    // data lives only as long as the test. Commits stay synchronous: a commit the server confirmed
    // must outlive an immediate stop.
    const std::string options = "-p " + std::to_string(m_port) + " -k " + m_folder +
                                " -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off "
                                " -c max_connections=60";
    if (!RunTool("pg_ctl", {"-D", m_folder + "/data", "-l", m_folder + "/log", "-w", "-o", options, "start"},
                 error)) {
        return false;
    }
    m_running = true;
    return true;
}

std::string PostgresServer::Url(const std::string& database) const {
    return "postgresql://marlinq@127.0.0.1:" + std::to_string(m_port) + "/" + database;
}

}  // namespace testsupport
