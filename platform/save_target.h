// Where a save writes, by what the target is.
//
// - nothing there, or a regular file (also through symbolic links): replaced atomically by an
//   AtomicFileWriter, so the old file stays whole until the new one is complete on the disk;
// - a character device or a FIFO, or "-" (standard output): written through, as a program
//   writes to a terminal or a pipe; nothing is created, renamed or truncated there. A regular
//   file that is this process's standard output (/dev/stdout with the output sent to a file) is
//   written through as well: replacing it would cut it off from the output, or lose what it held;
// - a directory, a symbolic link that names nothing, or anything else: refused, nothing written.
// No temporary file is ever renamed over something that is not a regular file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/atomic_file.h"
#include "platform/file_kind.h"

namespace platform {

// The target name that stands for standard output.
inline constexpr const char* kStandardOutputName = "-";

// True when a save to path lands on this process's standard output: "-", or a name of the very
// file, pipe or terminal that standard output is open on (/dev/stdout, say).
bool SavesToStandardOutput(const std::string& path);

class SaveTargetWriter {
  public:
    SaveTargetWriter() = default;
    ~SaveTargetWriter();  // abandons an uncommitted replacement
    SaveTargetWriter(const SaveTargetWriter&) = delete;
    SaveTargetWriter& operator=(const SaveTargetWriter&) = delete;

    // Looks at the target and gets ready to write it; false when it is refused (Refused()) or
    // cannot be opened.
    bool Open(const std::string& path);
    // Appends bytes; written through at once, or into the replacement.
    bool Write(const void* data, std::size_t length);
    // Ends the save: the replacement takes the target's place, or the written-through target is
    // closed. false when a step failed.
    bool Commit();
    // Drops an uncommitted replacement (bytes already written through stay written).
    void Abandon();

    // True when Open found a target of a kind a save does not write.
    bool Refused() const { return m_refused; }
    bool WritesThrough() const { return m_through; }
    ReplaceStep FailedStep() const;
    // Why it failed: "it is a directory", or the operating system's description.
    std::string ErrorText() const;

  private:
    bool FailThrough(ReplaceStep step, std::string text);
    void CloseThrough();

    AtomicFileWriter m_replace;
    bool m_through = false;
    bool m_refused = false;
    std::intptr_t m_handle = -1;  // the target written through
    bool m_ownsHandle = false;    // false for standard output, which stays open
    ReplaceStep m_failedStep = ReplaceStep::kNone;
    std::string m_error;
};

namespace detail {
// Backends of the write-through. OpenThrough opens path ("-": standard output) for writing
// without creating or truncating anything and without waiting for a FIFO's reader; it fails
// when what it opened is not a character device or a FIFO after all (*refused set), or cannot
// be opened. WriteThrough writes all bytes; a reader that went away is an error, not a signal.
bool OpenThrough(const std::string& path, std::intptr_t* handle, bool* owned, bool* refused,
                 std::string* error);
bool WriteThrough(std::intptr_t handle, const void* data, std::size_t length, std::string* error);
// True when path names the very file that standard output is open on.
bool IsStandardOutput(const std::string& path);
void CloseThroughHandle(std::intptr_t handle);
}  // namespace detail

}  // namespace platform
