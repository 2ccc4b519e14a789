// Shared helpers of the parameter-file tests: temporary directories, files and value sets.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "configfile/config_layout.h"

namespace configtest {

namespace fs = std::filesystem;

class TempDir {
  public:
    TempDir() {
        static std::atomic<int> counter{0};
        m_path = fs::temp_directory_path() /
                 ("marlinq-config-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

  private:
    fs::path m_path;
};

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::size_t GroupIndex(const char* group) {
    const auto& groups = configfile::ConfigGroupNames();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (std::strcmp(groups[g], group) == 0) {
            return g;
        }
    }
    return groups.size();
}

// The value slot of group/name; aborts the test program on a name the layout does not have.
inline std::string& At(configfile::ConfigValues& values, const char* group, const char* name) {
    const int leaf = configfile::FindConfigLeaf(GroupIndex(group), name);
    if (leaf < 0) {
        std::abort();
    }
    return values[static_cast<std::size_t>(leaf)];
}

inline const std::string& At(const configfile::ConfigValues& values, const char* group, const char* name) {
    return At(const_cast<configfile::ConfigValues&>(values), group, name);
}

// The values of the sample document.
inline configfile::ConfigValues SampleValues() {
    configfile::ConfigValues v;
    At(v, "SerialCfg", "BaudRate") = "115200";
    At(v, "SerialCfg", "ResetTime") = "30";
    At(v, "SocketCfg", "IPAddr") = "192.0.2.10";
    At(v, "SocketCfg", "Port") = "5000";
    At(v, "SocketCfg", "SockType") = "TCP";
    At(v, "FunctionCfg", "RegisterEnable") = "0";
    At(v, "FunctionCfg", "BeatInterval") = "60";
    At(v, "FunctionCfg", "BeatText") = "ping";
    At(v, "FunctionCfg", "NetReceive") = "0";
    At(v, "NetworkCfg", "APN") = "internet";
    At(v, "DebugCfg", "LogLevel") = "1";
    At(v, "MQTTCfg", "IP") = "192.0.2.20";
    At(v, "MQTTCfg", "PORT") = "1883";
    At(v, "MQTTCfg", "ClientId") = "client-01";
    At(v, "MQTTCfg", "ConnectState") = "1";
    At(v, "MQTTCfg", "HeartPeriod") = "60";
    At(v, "MQTTCfg", "SUBTOPIC1") = "sub/one";
    At(v, "MQTTCfg", "PUBTOPIC1") = "pub/one";
    return v;
}

// A value set where every parameter leaf holds a text of its own, prefixed by tag.
inline configfile::ConfigValues DistinctValues(const std::string& tag) {
    configfile::ConfigValues v;
    const auto& leaves = configfile::ConfigLeaves();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].fixedValue == nullptr) {
            v[i] = tag + "-" + configfile::ConfigGroupNames()[leaves[i].group] + "/" + leaves[i].name;
        }
    }
    return v;
}

// The two value sets of the fault test: every leaf distinct and long, so the file spans several
// copy chunks and a mix of both sets cannot pass for either.
inline configfile::ConfigValues KillTestValues(bool newer) {
    configfile::ConfigValues v = DistinctValues(newer ? "new" : "old");
    for (std::string& text : v) {
        if (!text.empty()) {
            text += std::string(60, newer ? 'n' : 'o');
        }
    }
    return v;
}

// The parameter leaves of both sets are equal (the fixed leaves' entries do not count).
inline bool SameParameters(const configfile::ConfigValues& a, const configfile::ConfigValues& b) {
    const auto& leaves = configfile::ConfigLeaves();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].fixedValue == nullptr && a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace configtest
