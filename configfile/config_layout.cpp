#include "configfile/config_layout.h"

#include <cstring>

namespace configfile {

namespace {

enum Group : std::size_t { kSerial, kSocket, kFunction, kNetwork, kDebug, kMqtt };

constexpr std::array<const char*, kConfigGroupCount> kGroups = {"SerialCfg",  "SocketCfg", "FunctionCfg",
                                                                "NetworkCfg", "DebugCfg",  "MQTTCfg"};

// The element names of the parameter leaves.
constexpr std::array<ConfigLeaf, kConfigLeafCount> kLeaves = {{
    {kSerial, "BaudRate", nullptr},
    {kSerial, "DataBits", "8"},
    {kSerial, "Parity", "N"},
    {kSerial, "StopBits", "1"},
    {kSerial, "ResetTime", nullptr},
    {kSocket, "IPAddr", nullptr},
    {kSocket, "Port", nullptr},
    {kSocket, "SockType", nullptr},
    {kFunction, "RegisterEnable", nullptr},
    {kFunction, "RegisterText", nullptr},
    {kFunction, "BeatInterval", nullptr},
    {kFunction, "BeatText", nullptr},
    {kFunction, "NetReceive", nullptr},
    {kNetwork, "APN", nullptr},
    {kNetwork, "Username", nullptr},
    {kNetwork, "Password", nullptr},
    {kDebug, "LogLevel", nullptr},
    {kMqtt, "IP", nullptr},
    {kMqtt, "PORT", nullptr},
    {kMqtt, "ClientId", nullptr},
    {kMqtt, "UserName", nullptr},
    {kMqtt, "Password", nullptr},
    {kMqtt, "ConnectState", nullptr},
    {kMqtt, "HeartPeriod", nullptr},
    {kMqtt, "SUBTOPIC1", nullptr},
    {kMqtt, "SUBTOPIC2", nullptr},
    {kMqtt, "SUBTOPIC3", nullptr},
    {kMqtt, "SUBTOPIC4", nullptr},
    {kMqtt, "PUBTOPIC1", nullptr},
    {kMqtt, "PUBTOPIC2", nullptr},
    {kMqtt, "PUBTOPIC3", nullptr},
    {kMqtt, "PUBTOPIC4", nullptr},
}};

}  // namespace

const std::array<const char*, kConfigGroupCount>& ConfigGroupNames() {
    return kGroups;
}

const std::array<ConfigLeaf, kConfigLeafCount>& ConfigLeaves() {
    return kLeaves;
}

int FindConfigLeaf(std::size_t group, const char* name) {
    for (std::size_t i = 0; i < kLeaves.size(); ++i) {
        if (kLeaves[i].group == group && std::strcmp(kLeaves[i].name, name) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace configfile
