// Where the tool writes its own files ("Config.xml", "AtLog.ini"): beside the program when the
// program's folder is the user's own and writable (a portable copy), otherwise the user's data
// folder. What ships (the programs, "Default.xml", the "adb" folder) always stays beside the
// program (GetAppDirectory).
#pragma once

#include <string>

namespace platform {

// The folder in use, with its trailing separator. The first call decides and, when the choice is
// the user's data folder, creates it (mode 0700 on POSIX); later calls give the same folder. A
// directory set with SetAppDirectoryOverride takes its place. Any thread.
std::string GetDataDirectory();

// The folder GetDataDirectory gives (or would give), without creating it: what --version and the
// About box show.
std::string PeekDataDirectory();

// The folder GetDataDirectory would choose for a program in programDirectory (with its trailing
// separator), without creating anything.
std::string ChooseDataDirectory(const std::string& programDirectory);

// Decided per OS:

// True when directory is the user's own and the user may write there. POSIX: the folder is owned
// by the effective user, its owner-write bit is set, access(W_OK) allows writing (not a read-only
// mount), and it lies outside the system's program tree (see InSystemProgramTree), so that root,
// who may write anywhere, still keeps its files out of /usr/lib/marlinq. Windows: the folder lies
// outside the Program Files folders and a file can be created in it.
bool IsOwnWritableFolder(const std::string& directory);

// The user's data folder for the tool with its trailing separator: POSIX $XDG_DATA_HOME/marlinq/
// when that variable holds an absolute path, else $HOME/.local/share/marlinq/ (the home folder
// from the password database when HOME is unset); Windows %LOCALAPPDATA%\Marlinq\. Empty when
// none can be found.
std::string UserDataFolder();

// Creates directory and its missing parents, each private to the user (0700 on POSIX); true when
// the folder exists afterwards.
bool CreatePrivateFolder(const std::string& directory);

}  // namespace platform
