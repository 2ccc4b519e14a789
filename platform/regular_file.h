// Opening the files the tool reads (parameter files) and appends to (the traffic log) only when
// they are regular files.
//
// A FIFO or a device in their place would block the tool (a FIFO without a writer never ends, a
// terminal waits for input) or feed it endless bytes; such a path is refused from what it is,
// and the open itself never waits: it is made non-blocking and the opened object is checked
// again before a byte moves, so a FIFO put there in between is refused too.
#pragma once

#include <cstdio>
#include <string>

#include "platform/file_kind.h"

namespace platform {

enum class RegularFileAccess {
    kRead,    // an existing file, read from its start
    kAppend,  // created when missing; every write lands at its end
};

struct RegularFileError {
    FileKind refusedKind = FileKind::kRegular;  // what was there when it is not a regular file
    std::string text;  // "it is a FIFO, not a regular file", or the system's description
};

// The open stream (binary mode), or null with *error filled in.
std::FILE* OpenRegularFile(const std::string& path, RegularFileAccess access, RegularFileError* error);

// The text for a path that is of a kind other than regular: "it is a FIFO, not a regular file".
std::string NotRegularText(FileKind kind);

// True for what is there but is no regular file (a directory, a device, a FIFO, anything else);
// false for a regular file, nothing, and what could not be looked at.
bool IsNotRegular(FileKind kind);

// Fills *error for a path of that kind and returns null, for the backends' refusals.
std::FILE* RefuseNotRegular(FileKind kind, RegularFileError* error);

}  // namespace platform
