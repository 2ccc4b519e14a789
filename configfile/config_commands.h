// The main window's commands on parameter files: Save, Import, the load of "Config.xml" at start
// and its save at exit.
#pragma once

#include <functional>
#include <string>

#include "configfile/config_messages.h"
#include "configfile/config_xml.h"
#include "framework/observer.h"

namespace configfile {

// Asks the operator for a file with the platform's dialog; the chosen path, or the empty text
// when the dialog was cancelled.
using FileAsker = std::function<std::string(const fw::FileDialogRequest&)>;

class CConfigCommands {
  public:
    // dataDirectory: where "Config.xml" lives (the folder the tool writes to), with its trailing separator.
    // warn takes the lines that must reach the operator outside the log pane too (standard error).
    CConfigCommands(CConfigXml& xml, FileAsker askFile, LogSink log, std::string dataDirectory,
                    LogSink warn = {});

    // Save: asks for a target and saves there; a cancelled dialog or an empty path does nothing.
    // An existing file is replaced only once the new one is complete.
    void OnBtnSave();
    // Import: asks for an existing file and loads it; logs its success.
    void OnBtnImportXml();
    // Loads "Config.xml" of the data directory when it exists; silent when it does not. A
    // regular file that cannot be loaded is remembered, to be kept at exit, and said so.
    void LoadStartupConfig();
    // Saves "Config.xml" into the data directory. A file that could not be loaded at start is
    // first renamed aside ("Config.xml.unreadable-<UTC time>"); when that fails, nothing is saved.
    void SaveConfigOnExit();
    // True while a Config.xml that could not be loaded waits to be set aside.
    bool KeepsUnreadableConfig() const { return m_keepUnreadable; }

    static fw::FileDialogRequest SaveRequest();
    static fw::FileDialogRequest ImportRequest();
    std::string ConfigPath() const { return m_dataDirectory + kConfigFileName; }

  private:
    CConfigXml& m_xml;
    FileAsker m_askFile;
    // Both to the log and to warn.
    void Warn(const std::string& line);

    LogSink m_log;
    std::string m_dataDirectory;
    LogSink m_warn;
    bool m_keepUnreadable = false;
};

}  // namespace configfile
