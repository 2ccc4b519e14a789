// What the programs tell about themselves: their version and the folder where the tool writes its
// files ("Config.xml", "AtLog.ini").
#pragma once

#include <string>

namespace marlinq {

// The version of this build, e.g. "0.1".
const char* ProgramVersion();

// The folder in use for the tool's own files, with its trailing separator (see
// platform/data_directory.h); it is not created here.
std::string FilesFolder();

// "Files: <folder>", the folder in use for the tool's own files (see platform/data_directory.h).
std::string FilesFolderLine();

// The answer to --version: "<program> <version>" and the files line, each ending in a line break.
std::string VersionText(const std::string& program);

}  // namespace marlinq
