#include "ui/program_info.h"

#include "platform/data_directory.h"

namespace marlinq {

const char* ProgramVersion() {
    return MARLINQ_VERSION;
}

std::string FilesFolder() {
    return platform::PeekDataDirectory();
}

std::string FilesFolderLine() {
    return "Files: " + FilesFolder();
}

std::string VersionText(const std::string& program) {
    return program + " " + ProgramVersion() + "\n" + FilesFolderLine() + "\n";
}

}  // namespace marlinq
