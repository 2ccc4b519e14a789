// What the parameter flows need from the rest of the tool: the controls of a dialog, the AT
// commands with their port choice, the log pane and the modal message box.
#pragma once

#include <functional>
#include <string>

namespace parameters {

// Reads and writes the controls of one dialog by id. The controls are the parameter set: the
// flows keep no copy of the values.
class IControls {
  public:
    virtual ~IControls() = default;
    virtual std::string GetText(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual bool IsChecked(int id) const = 0;
    virtual void SetCheck(int id, bool checked) = 0;
    virtual int GetCurSel(int id) const = 0;                // -1 when nothing is selected
    virtual void SetCurSel(int id, int index) = 0;          // -1 clears the selection
    virtual std::string GetSelectedText(int id) const = 0;  // empty when nothing is selected
    virtual void AddItem(int id, const std::string& text) = 0;
    // Keyboard focus to the edit, caret behind its last character and scrolled into view.
    virtual void FocusEnd(int id) = 0;
};

// The AT commands the flows send. The At... operations choose the port themselves (the port
// opened by hand, else the AT port found now) and log "No scan AT port! " (or "AT port not
// found! " for AtClearAuth) when there is none; the Query... operations open the port given.
// Failures are 0, false or the empty text.
class IAtLink {
  public:
    virtual ~IAtLink() = default;
    virtual int FindAtPort() = 0;  // below 1 when there is none
    virtual std::string QueryGmr(int port) = 0;
    virtual std::string QueryCsub(int port) = 0;
    virtual std::string QueryVer(int port) = 0;
    virtual std::string QueryCimi(int port) = 0;
    virtual int QueryDtuMode(int port) = 0;

    virtual std::string AtQueryDtuCfg() = 0;
    virtual std::string AtQueryCnmp() = 0;
    virtual std::string AtQueryApn() = 0;
    virtual std::string AtQueryAuth() = 0;

    virtual bool AtSetDtuMode(const std::string& arg) = 0;
    virtual bool AtSetDtuCfg(const std::string& arg) = 0;
    virtual bool AtSetMultiSockCfg(const std::string& arg) = 0;
    virtual bool AtSetModbusCfg(const std::string& arg) = 0;
    virtual bool AtSetModbusCmd(const std::string& arg) = 0;
    virtual bool AtSetHost(const std::string& arg) = 0;
    virtual bool AtSetMqttCfg(const std::string& arg) = 0;
    virtual bool AtSetSubTopic(const std::string& arg) = 0;
    virtual bool AtSetPubTopic(const std::string& arg) = 0;
    virtual bool AtSetCnmp(const std::string& arg) = 0;
    virtual bool AtSetApn(const std::string& apn) = 0;
    virtual bool AtSetAuth(const std::string& arg) = 0;
    virtual bool AtClearAuth() = 0;
};

// Appends one line to the log pane.
using LogSink = std::function<void(const std::string&)>;
// Shows a modal message box with the caption "\x1bMarlinq", an exclamation icon and OK.
using WarningBox = std::function<void(const std::string&)>;

// What a download sent of the values the module reports back, and what a read got; compared by
// CompareWithModule.
struct ModuleValues {
    bool hasDtuCfg = false;
    std::string dtuCfg;  // the 17-field list
    bool hasNetwork = false;
    std::string cnmp;
    std::string apn;
    std::string user;  // empty when the credentials were cleared or none are reported
    std::string password;
};

// How a flow ended: the steps that reported a failure, and the text of a refusal (an input rule
// or a text that cannot be sent) when one stopped it.
struct FlowOutcome {
    int failedSteps = 0;
    std::string refusal;
    bool Ok() const { return failedSteps == 0 && refusal.empty(); }
};

}  // namespace parameters
