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
    // dataDirectory: where "Config.xml" lives (the folder the tool writes to), with its trailing
    // separator.
    CConfigCommands(CConfigXml& xml, FileAsker askFile, LogSink log, std::string dataDirectory);

    // Save: asks for a target and saves there; a cancelled dialog or an empty path does nothing.
    // An existing file is replaced only once the new one is complete.
    void OnBtnSave();
    // Import: asks for an existing file and loads it; logs its success.
    void OnBtnImportXml();
    // Loads "Config.xml" of the data directory when it exists; silent when it does not.
    void LoadStartupConfig();
    // Saves "Config.xml" into the data directory.
    void SaveConfigOnExit();

    static fw::FileDialogRequest SaveRequest();
    static fw::FileDialogRequest ImportRequest();
    std::string ConfigPath() const { return m_dataDirectory + kConfigFileName; }

  private:
    CConfigXml& m_xml;
    FileAsker m_askFile;
    LogSink m_log;
    std::string m_dataDirectory;
};

}  // namespace configfile
