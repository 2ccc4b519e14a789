// The directory of the running program, where the tool keeps its own files.
#pragma once

#include <string>

namespace platform {

// Directory of the running executable including its trailing separator ("/" or "\\");
// the empty text when the path cannot be determined or holds no separator. A directory set with
// SetAppDirectoryOverride takes its place.
std::string GetAppDirectory();

// The executable's own directory, whatever override is set.
std::string ExecutableDirectory();

// Replaces the program directory for this process, with its trailing separator (tests give each
// test a directory of its own, so that the files the tool keeps there do not pass between tests);
// the empty text restores the executable's directory. Any thread.
void SetAppDirectoryOverride(const std::string& directory);

// The directory set with SetAppDirectoryOverride; empty when none is set.
std::string AppDirectoryOverride();

// Keeps everything up to and including the last separator of path; empty when there is none.
std::string DirectoryPart(const std::string& path, char separator);

}  // namespace platform
