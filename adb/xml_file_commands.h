// The commands that hand an XML parameter file to the module over ADB: the factory reset (loads
// "Default.xml" beside the program into the controls and pushes it), the choice of a file (shows
// its path and imports its values) and the download of the chosen file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adb/adb_host.h"
#include "adb/adb_transfer.h"
#include "framework/control_access.h"
#include "framework/observer.h"

namespace adb {

inline constexpr char kDefaultXmlName[] = "Default.xml";

// The controls of the main window the commands touch, handed in by the window.
struct XmlFileControlIds {
    int pathEdit = 0;                   // the path of the file to push
    std::vector<int> operationButtons;  // disabled in this order when a push begins
};

class XmlFileCommands {
  public:
    // LoadXmlConfig: loads a parameter file into the controls; TRUE (non-zero) on success, logging
    // its own messages either way.
    using LoadFn = std::function<int(const std::string& path)>;
    // The open-file dialog owned by the main window: the chosen path, or empty when cancelled.
    using ChooseFn = std::function<std::string(const fw::FileDialogRequest& request)>;

    // Why the file's values cannot go to the module; empty when they can.
    using CheckFn = std::function<std::string(const std::string& path)>;

    XmlFileCommands(IAdbHost& host, AdbTransfer& transfer, fw::IControlAccess& controls,
                    XmlFileControlIds ids, LoadFn load, ChooseFn choose, CheckFn check = {});

    // Window thread, each.
    void OnBtnFactoryReset();
    void RestoreFactorySettings();
    void OnBtnXmlSelect();
    void OnBtnXmlDownload();
    void DownloadXmlFile();

    // The request of the open-file dialog.
    static fw::FileDialogRequest SelectRequest();

  private:
    // Disables the operation buttons, logs what is pushed, sets the request and starts the
    // transfer; a file whose values cannot go to the module is refused with a line saying why.
    void BeginPush(const std::string& path, const std::string& message);

    IAdbHost& m_host;
    AdbTransfer& m_transfer;
    fw::IControlAccess& m_controls;
    XmlFileControlIds m_ids;
    LoadFn m_load;
    ChooseFn m_choose;
    CheckFn m_check;
};

}  // namespace adb
