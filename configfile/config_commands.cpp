#include "configfile/config_commands.h"

#include <filesystem>
#include <system_error>

namespace configfile {

CConfigCommands::CConfigCommands(CConfigXml& xml, FileAsker askFile, LogSink log, std::string dataDirectory)
    : m_xml(xml),
      m_askFile(std::move(askFile)),
      m_log(std::move(log)),
      m_dataDirectory(std::move(dataDirectory)) {}

fw::FileDialogRequest CConfigCommands::SaveRequest() {
    fw::FileDialogRequest request;
    request.save = true;
    request.title = kSaveDialogTitle;
    request.filter = kSaveDialogFilter;
    request.defaultExt = kSaveDialogDefaultExt;
    request.createPrompt = true;
    return request;
}

fw::FileDialogRequest CConfigCommands::ImportRequest() {
    fw::FileDialogRequest request;
    request.title = kImportDialogTitle;
    request.filter = kImportDialogFilter;
    request.fileMustExist = true;
    request.hideReadOnly = true;
    return request;
}

void CConfigCommands::OnBtnSave() {
    const std::string path = m_askFile(SaveRequest());
    if (!path.empty()) {
        m_xml.SaveXmlConfig(path);
    }
}

void CConfigCommands::OnBtnImportXml() {
    const std::string path = m_askFile(ImportRequest());
    if (!path.empty() && m_xml.LoadXmlConfig(path)) {
        m_log(kMsgLoadDone);
    }
}

void CConfigCommands::LoadStartupConfig() {
    std::error_code ec;
    if (std::filesystem::exists(ConfigPath(), ec)) {
        m_xml.LoadXmlConfig(ConfigPath());
    }
}

void CConfigCommands::SaveConfigOnExit() {
    m_xml.SaveXmlConfig(ConfigPath());
}

}  // namespace configfile
