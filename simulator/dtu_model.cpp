#include "simulator/dtu_model.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace sim {

namespace {

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string Line(const std::string& body) {
    return "\r\n" + body + "\r\n";
}

int Count(const std::string& s, char c) {
    return static_cast<int>(std::count(s.begin(), s.end(), c));
}

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The texts inside the first two pairs of double quotes of arg.
bool QuotedPair(const std::string& arg, std::string* first, std::string* second) {
    std::size_t q[4];
    std::size_t from = 0;
    for (auto& at : q) {
        at = arg.find('"', from);
        if (at == std::string::npos) {
            return false;
        }
        from = at + 1;
    }
    *first = arg.substr(q[0] + 1, q[1] - q[0] - 1);
    *second = arg.substr(q[2] + 1, q[3] - q[2] - 1);
    return true;
}

// Commands whose argument is stored as given and reported back by "AT+NAME?".
const char* const kStoredSettings[] = {"HOST", "MQTTCFG", "SUBTOPIC", "PUBTOPIC", "MODBUSCFG"};

}  // namespace

DtuModel::DtuModel() {
    m_values = {
        {"DTUMODE", "0"},
        {"DTUCFG", "115200,203.0.113.10,5000,TCP,0,,60,0X31323334,0,0,0,500,0,0,0,0,120"},
        {"CNMP", "2"},
        {"APN", "cmnet"},
        {"CGAUTH", "1,0"},
        {"CIMI", kDefaultImsi},
        {"GMR", "MQ4G_FW_1.2.3"},
        {"CSUB1", "V01B02"},
        {"CSUB2", "2026-06-01"},
        {"VER", "DTU_APP_3.7.0"},
        {"CSQ", "23,99"},
        {"HOST", ""},
        {"MQTTCFG", ""},
        {"SUBTOPIC", ""},
        {"PUBTOPIC", ""},
        {"MODBUSCFG", ""},
    };
}

std::string DtuModel::Value(const std::string& name) const {
    const auto it = m_values.find(name);
    return it == m_values.end() ? std::string() : it->second;
}

void DtuModel::SetValue(const std::string& name, const std::string& value) {
    m_values[name] = value;
}

ModelReply DtuModel::Handle(const std::string& rawLine) {
    const std::string line = rawLine;
    const std::string upper = Upper(line);
    if (upper == "AT") {
        return {Ok()};
    }
    if (upper == "ATE0" || upper == "ATE1") {
        m_echo = upper == "ATE1";
        return {Ok()};
    }
    if (upper == "ATI") {
        return {Line("Simulated DTU") + Line("Revision: " + Value("GMR")) + Ok()};
    }
    if (upper.rfind("AT+", 0) != 0) {
        return {Error()};
    }
    const std::string rest = line.substr(3);
    const auto eq = rest.find('=');
    if (eq != std::string::npos) {
        return Set(Upper(rest.substr(0, eq)), rest.substr(eq + 1));
    }
    std::string name = Upper(rest);
    if (!name.empty() && name.back() == '?') {
        name.pop_back();
    }
    return Query(name);
}

ModelReply DtuModel::Query(const std::string& name) {
    if (name == "DTUMODE" || name == "DTUCFG" || name == "CNMP" || name == "VER" || name == "CSQ" ||
        name == "GMR") {
        return {Line("+" + name + ": " + Value(name)) + Ok()};
    }
    if (name == "CIMI") {
        return {Line(Value("CIMI")) + Ok()};
    }
    if (name == "CSUB") {
        return {Line("+CSUB: " + Value("CSUB1")) + "+CSUB: " + Value("CSUB2") + "\r\n" + Ok()};
    }
    if (name == "CGAUTH") {
        return {Line("+CGAUTH: " + Value("CGAUTH")) + Ok()};
    }
    if (name == "CGDCONT") {
        return {Line("+CGDCONT: 1,\"IP\",\"" + Value("APN") + "\",\"0.0.0.0\",0,0") + Ok()};
    }
    if (name == "CUSBADB") {
        return {Line(std::string("+CUSBADB: ") + (m_adb ? "1" : "0")) + Ok()};
    }
    if (name == "CPIN") {
        return {Line("+CPIN: READY") + Ok()};
    }
    if (name == "CPSI") {
        return {Line("+CPSI: LTE,Online,001-01,0x1A2B,12345678,300,EUTRAN-BAND3,1650,5,5,-85,-1050,-750,15") +
                Ok()};
    }
    if (name == "CRESET") {
        return {Ok(), ModelAction::Reset};
    }
    if (name == "MULTISOCKCFG" || name == "MODBUSCMD") {
        std::string out;
        for (const auto& [key, value] : m_values) {
            if (key.rfind(name, 0) == 0 && key.size() == name.size() + 1) {
                out += Line("+" + name + ": " + value);
            }
        }
        return {out + Ok()};
    }
    for (const char* stored : kStoredSettings) {
        if (name == stored) {
            return {Line("+" + name + ": " + Value(name)) + Ok()};
        }
    }
    return {Error()};
}

std::string DtuModel::WithStoreFault(const std::string& args) const {
    const std::string fault = Value(kDtuCfgStoreFault);
    const auto eq = fault.find('=');
    if (eq == std::string::npos) {
        return args;
    }
    const int field = std::atoi(fault.substr(0, eq).c_str());
    std::string out;
    std::size_t start = 0;
    for (int k = 1; k <= 17; ++k) {
        const std::size_t comma = k < 17 ? args.find(',', start) : std::string::npos;
        const std::string value =
            args.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        out += (k > 1 ? "," : "") + (k == field ? fault.substr(eq + 1) : value);
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return out;
}

ModelReply DtuModel::Set(const std::string& name, const std::string& arg) {
    if (name == "DTUMODE") {
        if (arg != "0" && arg != "1" && arg != "2") {
            return {Error()};
        }
        m_values["DTUMODE"] = arg;
        return {Ok()};
    }
    if (name == "DTUCFG") {
        if (Count(arg, ',') != 16) {  // the parameter list has exactly 17 fields
            return {Error()};
        }
        m_values["DTUCFG"] = WithStoreFault(arg);
        return {Ok()};
    }
    if (name == "CNMP") {
        if (arg != "2" && arg != "13" && arg != "38") {
            return {Error()};
        }
        m_values["CNMP"] = arg;
        return {Ok()};
    }
    if (name == "CGDCONT") {
        const std::string head = "1,\"IP\",\"";
        if (arg.rfind(head, 0) != 0 || arg.size() < head.size() + 1 || arg.back() != '"') {
            return {Error()};
        }
        m_values["APN"] = arg.substr(head.size(), arg.size() - head.size() - 1);
        return {Ok()};
    }
    if (name == "CGAUTH") {
        if (arg == "1") {
            m_values["CGAUTH"] = "1,0";
            return {Ok()};
        }
        std::string first;
        std::string second;
        if (!QuotedPair(arg, &first, &second)) {
            return {Error()};
        }
        // "1,1,<password>,<user>" names the password first; the form with an empty context and
        // type names the user first. The query reports the user first.
        const bool userFirst = arg.rfind(",,", 0) == 0;
        const std::string& user = userFirst ? first : second;
        const std::string& password = userFirst ? second : first;
        m_values["CGAUTH"] = "1,1,\"" + user + "\",\"" + password + "\"";
        return {Ok()};
    }
    if (name == "CUSBADB") {
        if (arg == "1") {
            m_adb = true;
            return {Ok(), ModelAction::AdbOn};
        }
        if (arg == "0") {
            m_adb = false;
            return {Ok(), ModelAction::AdbOff};
        }
        return {Error()};
    }
    if (name == "MULTISOCKCFG" || name == "MODBUSCMD") {
        const auto comma = arg.find(',');
        const std::string index = arg.substr(0, comma);
        const int limit = name == "MULTISOCKCFG" ? 3 : 5;
        if (comma == std::string::npos || !AllDigits(index) || index.size() > 1 || index[0] < '1' ||
            index[0] - '0' > limit) {
            return {Error()};
        }
        m_values[name + index] = arg;
        return {Ok()};
    }
    for (const char* stored : kStoredSettings) {
        if (name == stored) {
            m_values[name] = arg;
            return {Ok()};
        }
    }
    return {Error()};
}

}  // namespace sim
