// Replaces a file so that a crash, a full disk or a failed write never leaves it half written.
//
// The new content goes into a temporary file in the target's directory; Commit flushes it to
// the disk, renames it over the target and flushes the directory entry. Until the rename the
// target keeps its old content; afterwards it has the complete new one. A failed step removes
// the temporary file and leaves the target as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The step at which a replacement failed.
enum class ReplaceStep { kNone, kCreate, kWrite, kSync, kRename, kSyncDirectory };

class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();  // abandons an uncommitted replacement
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file beside targetPath; false when it cannot be created. Leftover
    // temporary files of the same target from processes that no longer run are removed first.
    bool Open(const std::string& targetPath);
    // Appends the bytes to the temporary file; false when not all of them could be written.
    bool Write(const void* data, std::size_t length);
    // Makes the written bytes the target's content; false when any step failed (a failed flush of
    // the file or of its directory included). After a failure before the rename, the target is
    // untouched.
    bool Commit();
    // Drops the temporary file; the target is untouched.
    void Abandon();

    ReplaceStep FailedStep() const { return m_failedStep; }
    // The operating system's description of the failure; empty when nothing failed.
    std::string ErrorText() const;
    // The temporary file in use (empty when none is open).
    const std::string& TempPath() const { return m_tempPath; }

  private:
    bool Fail(ReplaceStep step, int error, std::string reason = {});
    // Fails the rename when something other than a regular file is at the target.
    bool TargetStillReplaceable();

    std::intptr_t m_handle = -1;
    std::string m_targetPath;
    std::string m_tempPath;
    ReplaceStep m_failedStep = ReplaceStep::kNone;
    int m_error = 0;
    std::string m_reason;  // said instead of the system's text when set
};

// The temporary name used for the n-th replacement of targetName by process pid; the name
// starts with '.', holds the target's name, the process id and n, and ends in ".tmp".
std::string AtomicTempName(const std::string& targetName, long pid, unsigned n);
// The process id encoded in a temporary name of targetName, or -1 when name is not one.
long AtomicTempOwner(const std::string& name, const std::string& targetName);
// Removes the temporary files of targetName in directory whose process no longer runs.
void RemoveStaleTempFiles(const std::string& directory, const std::string& targetName);

// Tests only: makes the next replacement in this process fail at the given step as if the
// operating system had reported an I/O error there (kNone turns it off).
void InjectReplaceFault(ReplaceStep step);

namespace detail {
// True once when a fault was injected at this step; the backends ask before each step.
bool TakeInjectedFault(ReplaceStep step);
// The directory part of path up to and including its last separator (empty when it has none),
// and the name after it; separators lists the characters that separate path components.
std::string DirectoryOf(const std::string& path, const char* separators);
std::string NameOf(const std::string& path, const char* separators);
}  // namespace detail

}  // namespace platform
