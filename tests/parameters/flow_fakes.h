// Controls held in maps and an AT link over the real serial port, for testing the parameter flows
// without a window.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "atlink/serial_port.h"
#include "parameters/flow_deps.h"

namespace parameters::test {

class MapControls : public IControls {
  public:
    std::string GetText(int id) const override {
        const auto it = text.find(id);
        return it == text.end() ? std::string() : it->second;
    }
    void SetText(int id, const std::string& t) override {
        text[id] = t;
        writes.push_back(id);
    }
    bool IsChecked(int id) const override { return check.count(id) != 0 && check.at(id); }
    void SetCheck(int id, bool on) override {
        check[id] = on;
        writes.push_back(id);
    }
    int GetCurSel(int id) const override { return sel.count(id) != 0 ? sel.at(id) : -1; }
    void SetCurSel(int id, int index) override {
        const int count = static_cast<int>(items[id].size());
        sel[id] = index >= 0 && index < count ? index : -1;
        writes.push_back(id);
    }
    std::string GetSelectedText(int id) const override {
        const int s = GetCurSel(id);
        return s < 0 ? std::string() : items.at(id)[static_cast<std::size_t>(s)];
    }
    void AddItem(int id, const std::string& t) override { items[id].push_back(t); }
    void FocusEnd(int id) override { focused = id; }

    std::map<int, std::string> text;
    std::map<int, bool> check;
    std::map<int, int> sel;
    std::map<int, std::vector<std::string>> items;
    std::vector<int> writes;  // ids in the order they were written
    int focused = 0;
};

// Port-opening forms on the COM number given (0: no AT port), as the tool's wrappers run them
// while no port is held open by hand.
class SerialAtLink : public IAtLink {
  public:
    SerialAtLink(int com, LogSink log) : m_com(com), m_log(std::move(log)) {}
    void SetCom(int com) { m_com = com; }

    int FindAtPort() override { return m_com; }
    std::string QueryGmr(int port) override { return CSerialPort().QueryGmr(port); }
    std::string QueryCsub(int port) override { return CSerialPort().QueryCsub(port); }
    std::string QueryVer(int port) override { return CSerialPort().QueryVer(port); }
    std::string QueryCimi(int port) override { return CSerialPort().QueryCimi(port); }
    int QueryDtuMode(int port) override { return CSerialPort().QueryDtuMode(port); }

    std::string AtQueryDtuCfg() override { return Text(&CSerialPort::QueryDtuCfg); }
    std::string AtQueryCnmp() override { return Text(&CSerialPort::QueryCnmp); }
    std::string AtQueryApn() override { return Text(&CSerialPort::QueryApn); }
    std::string AtQueryAuth() override { return Text(&CSerialPort::QueryAuth); }

    bool AtSetDtuMode(const std::string& a) override { return Set(&CSerialPort::SetDtuMode, a); }
    bool AtSetDtuCfg(const std::string& a) override { return Set(&CSerialPort::SetDtuCfg, a); }
    bool AtSetMultiSockCfg(const std::string& a) override { return Set(&CSerialPort::SetMultiSockCfg, a); }
    bool AtSetModbusCfg(const std::string& a) override { return Set(&CSerialPort::SetModbusCfg, a); }
    bool AtSetModbusCmd(const std::string& a) override { return Set(&CSerialPort::SetModbusCmd, a); }
    bool AtSetHost(const std::string& a) override { return Set(&CSerialPort::SetHost, a); }
    bool AtSetMqttCfg(const std::string& a) override { return Set(&CSerialPort::SetMqttCfg, a); }
    bool AtSetSubTopic(const std::string& a) override { return Set(&CSerialPort::SetSubTopic, a); }
    bool AtSetPubTopic(const std::string& a) override { return Set(&CSerialPort::SetPubTopic, a); }
    bool AtSetCnmp(const std::string& a) override { return Set(&CSerialPort::SetCnmp, a); }
    bool AtSetApn(const std::string& a) override { return Set(&CSerialPort::SetApn, a); }
    bool AtSetAuth(const std::string& a) override { return Set(&CSerialPort::SetAuth, a); }
    bool AtClearAuth() override {
        if (m_com < 1) {
            m_log("AT port not found! ");
            return false;
        }
        return CSerialPort().ClearAuth(m_com) != 0;
    }

  private:
    std::string Text(std::string (CSerialPort::*query)(int)) {
        if (m_com < 1) {
            m_log("No scan AT port! ");
            return {};
        }
        CSerialPort port;
        return (port.*query)(m_com);
    }
    bool Set(BOOL (CSerialPort::*set)(int, const std::string&), const std::string& arg) {
        if (m_com < 1) {
            m_log("No scan AT port! ");
            return false;
        }
        CSerialPort port;
        return (port.*set)(m_com, arg) != 0;
    }

    int m_com;
    LogSink m_log;
};

}  // namespace parameters::test
