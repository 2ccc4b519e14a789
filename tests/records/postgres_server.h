// A PostgreSQL server of the tests' own: a new cluster in a temporary folder, on a free port of
// 127.0.0.1 only, started and stopped with the server's own tools from the Debian package. The
// server refuses to run as root, so as root its tools run as the "postgres" user. The cluster is
// made by initdb.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class PostgresServer {
  public:
    PostgresServer() = default;
    ~PostgresServer();  // stops the server and removes its folder
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Creates the cluster and starts it; false with what went wrong (binaries missing included).
    bool Create(std::string* error);

    // postgresql://marlinq@127.0.0.1:PORT/DATABASE
    std::string Url(const std::string& database) const;

  private:
    bool RunTool(const std::string& tool, const std::vector<std::string>& args, std::string* error);
    // Runs program with args (as the postgres user when asServerUser and root), its output kept
    // for the error message; true when it ends with 0.
    bool RunProgram(std::string program, const std::vector<std::string>& args, bool asServerUser,
                    std::string* error);
    bool Start(std::string* error);

    std::string m_bin;     // the folder of initdb, pg_ctl
    std::string m_folder;  // the cluster's own folder
    int m_port = 0;
    bool m_running = false;
};

// The folder of the installed server's programs (/usr/lib/postgresql/N/bin, the highest N);
// empty when no server is installed.
std::string PostgresBinFolder();

// A free TCP port on 127.0.0.1 (bound, read and released).
int FreeLocalPort();

}  // namespace testsupport
