// What lies at a path: a regular file, a directory, a device, a FIFO, or nothing.
//
// The tool reads and writes only regular files; a device or a FIFO as a save target is written
// through instead of being replaced, and anything else is refused. This tells which case applies
// without opening the path.
#pragma once

#include <string>

namespace platform {

enum class FileKind {
    kMissing,       // nothing is there
    kRegular,       // a regular file (reached through symbolic links, if any)
    kDirectory,     // a directory
    kCharDevice,    // a character device (a terminal, the null device, ...)
    kFifo,          // a FIFO (named pipe)
    kDanglingLink,  // a symbolic link that names nothing
    kOther,         // a block device, a socket, or anything else
    kUnknown,       // the system could not tell (no permission to look, say)
};

// The kind of path, symbolic links followed.
FileKind KindAt(const std::string& path);

// "a directory", "a FIFO", ... as the end of "X is ..."; empty for kRegular, kMissing, kUnknown.
std::string KindName(FileKind kind);

}  // namespace platform
