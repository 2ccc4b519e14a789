#include "configfile/config_commands.h"

#include <filesystem>
#include <system_error>

#include "configfile/config_aside.h"
#include "platform/file_kind.h"
#include "platform/local_time.h"

namespace configfile {

CConfigCommands::CConfigCommands(CConfigXml& xml, FileAsker askFile, LogSink log, std::string dataDirectory,
                                 LogSink warn)
    : m_xml(xml),
      m_askFile(std::move(askFile)),
      m_log(std::move(log)),
      m_dataDirectory(std::move(dataDirectory)),
      m_warn(std::move(warn)) {}

void CConfigCommands::Warn(const std::string& line) {
    m_log(line);
    if (m_warn) {
        m_warn(line);
    }
}

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
    if (!std::filesystem::exists(ConfigPath(), ec) || m_xml.LoadXmlConfig(ConfigPath())) {
        return;
    }
    // The log has the reason already; standard error gets it as well.
    if (m_warn) {
        m_warn(LoadFailureLine(ConfigPath(), m_xml.LastFailure()));
    }
    // A regular file holds someone's parameters: the exit save must not write over it. Anything
    // else (a FIFO, a device) holds none, and the exit save treats it as any save target.
    if (platform::KindAt(ConfigPath()) == platform::FileKind::kRegular) {
        m_keepUnreadable = true;
        Warn(ConfigPath() + " is kept: before the parameters are saved at exit it is renamed to " +
             std::string(kConfigFileName) + ".unreadable-<UTC time>");
    }
}

void CConfigCommands::SaveConfigOnExit() {
    std::error_code ec;
    if (m_keepUnreadable && std::filesystem::exists(std::filesystem::symlink_status(ConfigPath(), ec))) {
        std::string error;
        const std::string kept = SetAsideUnreadable(ConfigPath(), platform::UtcTimeNow(), &error);
        if (kept.empty()) {
            Warn(ConfigPath() + " could not be loaded at start and cannot be renamed (" + error +
                 "); it is left as it is and the parameters are not saved");
            return;
        }
        Warn(ConfigPath() + " could not be loaded at start; it is kept as " + kept);
    }
    m_keepUnreadable = false;
    m_xml.SaveXmlConfig(ConfigPath());
}

}  // namespace configfile
