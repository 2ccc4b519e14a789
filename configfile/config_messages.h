// The texts of the parameter-file operations: log lines, dialog titles and filters.
#pragma once

#include <string>

namespace configfile {

inline constexpr const char* kMsgSaveDone = "生成XML文件成功!";
inline constexpr const char* kMsgSaveFailed = "生成XML文件失败!";
inline constexpr const char* kMsgImportFailed = "导入XML文件失败!";
inline constexpr const char* kMsgInvalidFile = "无效的XML文件!";
inline constexpr const char* kMsgLoadDone = "Load XML file successfully!";

inline constexpr const char* kSaveDialogTitle = "Save xml file:";
inline constexpr const char* kSaveDialogFilter = "xml File (*.xml) | *.xml";
inline constexpr const char* kSaveDialogDefaultExt = "*.xml";
inline constexpr const char* kImportDialogTitle = "Select xml file:";
inline constexpr const char* kImportDialogFilter = "xml file(*.xml)|*.xml|all files(*.*)|*.*||";

// The parameter file beside the program.
inline constexpr const char* kConfigFileName = "Config.xml";

// "cannot load FILE: REASON", the line that follows the system's message when a file is refused.
inline std::string LoadFailureLine(const std::string& path, const std::string& reason) {
    return "cannot load " + path + ": " + reason;
}

}  // namespace configfile
