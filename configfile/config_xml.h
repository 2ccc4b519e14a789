// SaveXmlConfig and LoadXmlConfig: the parameter controls to a file and back. The controls are
// the parameter set; nothing is kept between calls.
//
// Saving gathers the values from the controls, writes the document into the scratch container
// and copies it into the target, which is replaced atomically: a failed or interrupted save
// leaves the old file whole (a device, a FIFO or "-" is written through; another kind of target
// is refused: configfile/config_save.h). Loading reads the whole file first; a file that cannot
// be read, is not a parameter file or is refused by the reading rules changes no control, and
// the log gets the system's message and then "cannot load FILE: REASON".
//
// Loading applies the values in this order: the TCP/UDP values into a DtuCfgRecord (a value
// longer than its field is cut at a character boundary, and the cut is logged); the baud rate
// (a text outside the list leaves it as it was); APN, user and password; the log level ("2"
// selects the second entry, anything else the first); the record onto the TCP/UDP page; the
// fault restart time in minutes; the MQTT page in file order, where ConnectState "1" ticks
// Enable and anything else Disable.
#pragma once

#include <functional>
#include <string>

#include "configfile/config_layout.h"
#include "configfile/config_save.h"
#include "framework/control_access.h"

namespace configfile {

// The dialogs whose controls the file carries.
struct ConfigControls {
    fw::IControlAccess& main;  // the main window
    fw::IControlAccess& tcp;   // the TCP/UDP page
    fw::IControlAccess& mqtt;  // the MQTT page
};

using LogSink = std::function<void(const std::string&)>;
// Shows the file-error message box with the given text.
using FileErrorBox = std::function<void(const std::string&)>;

class CConfigXml {
  public:
    CConfigXml(ConfigControls controls, LogSink log, FileErrorBox fileError,
               std::string scratchPath = kScratchContainerName);

    // TRUE when the file was written; logs its outcome, or shows the file-error box when the
    // target cannot be written.
    fw::BOOL SaveXmlConfig(const std::string& path);
    // TRUE when the values were applied; logs its failures, not its success.
    fw::BOOL LoadXmlConfig(const std::string& path);
    // Why the last SaveXmlConfig or LoadXmlConfig failed ("not UTF-8 at byte 2041"); empty after
    // a success.
    const std::string& LastFailure() const { return m_lastFailure; }

    // The values as the controls show them now.
    ConfigValues GatherValues() const;
    // Writes values into the controls in the order of loading.
    void ApplyValues(const ConfigValues& values);

  private:
    fw::IControlAccess& ControlsOf(unsigned dialog) const;
    void ApplyLeaf(const ConfigLeaf& leaf, const std::string& value);

    ConfigControls m_controls;
    LogSink m_log;
    FileErrorBox m_fileError;
    std::string m_scratchPath;
    std::string m_lastFailure;
};

}  // namespace configfile
