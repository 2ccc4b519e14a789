#include "adb/xml_file_commands.h"

#include <filesystem>

namespace adb {

namespace {

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace

XmlFileCommands::XmlFileCommands(IAdbHost& host, AdbTransfer& transfer, fw::IControlAccess& controls,
                                 XmlFileControlIds ids, LoadFn load, ChooseFn choose, CheckFn check)
    : m_host(host),
      m_transfer(transfer),
      m_controls(controls),
      m_ids(std::move(ids)),
      m_load(std::move(load)),
      m_choose(std::move(choose)),
      m_check(std::move(check)) {}

fw::FileDialogRequest XmlFileCommands::SelectRequest() {
    fw::FileDialogRequest request;
    request.save = false;
    request.title = "Select xml file:";
    request.filter = "xml file(*.xml)|*.xml|all files(*.*)|*.*||";
    request.fileMustExist = true;
    request.hideReadOnly = true;
    return request;
}

void XmlFileCommands::BeginPush(const std::string& path, const std::string& message) {
    if (const std::string fault = m_check ? m_check(path) : std::string(); !fault.empty()) {
        m_host.AddLog("Push refused: " + fault);
        return;
    }
    for (int id : m_ids.operationButtons) {
        m_controls.EnableWindow(id, false);
    }
    m_host.AddLog(message);
    m_host.SetPendingPush(1);
    m_transfer.StartAdbTransfer();
}

void XmlFileCommands::OnBtnFactoryReset() {
    m_host.AddLog("Restoring factory Settings...");
    RestoreFactorySettings();
}

void XmlFileCommands::RestoreFactorySettings() {
    const std::string path = m_host.AppDirectory() + kDefaultXmlName;
    m_transfer.SetXmlPath(path);
    m_controls.SetWindowText(m_ids.pathEdit, path);
    if (!FileExists(path)) {
        m_host.AddLog("The default file was not found: " + path);
        return;
    }
    m_load(path);  // the file is pushed all the same when it cannot be loaded
    BeginPush(path, "Enable ADB to download default XML file...");
}

void XmlFileCommands::OnBtnXmlSelect() {
    const std::string path = m_choose(SelectRequest());
    if (path.empty()) {
        return;
    }
    m_controls.SetWindowText(m_ids.pathEdit, path);
    if (m_load(path)) {
        m_host.AddLog("Selecting and importing the XML file was successful!");
    }
}

void XmlFileCommands::OnBtnXmlDownload() {
    m_host.AddLog("Downloading XML file...");
    DownloadXmlFile();
}

void XmlFileCommands::DownloadXmlFile() {
    const std::string path = m_controls.GetWindowText(m_ids.pathEdit);
    if (path.empty()) {
        m_host.AddLog("Please select XML file\xEF\xBC\x81");  // ends in a full-width exclamation mark
        m_controls.FocusAtEnd(m_ids.pathEdit);
        return;
    }
    m_transfer.SetXmlPath(path);
    if (!FileExists(path)) {
        m_host.AddLog("The XML file was not found: " + path);
        return;
    }
    BeginPush(path, "Enable ADB to download XML file...");
}

}  // namespace adb
