// Saving a document: serialised into the scratch container, then copied in chunks into the target.
// A regular file (or a new one) is replaced atomically (the old file stays whole until the new one
// is complete on disk); a character device, a FIFO or "-" (standard output) is written through;
// a directory, a symbolic link to nothing or any other node is refused (platform/save_target.h).
#pragma once

#include <cstddef>
#include <string>

#include "platform/save_target.h"

namespace configfile {

inline constexpr const char* kScratchContainerName = "CompoundFile.cmp";  // in the current directory
inline constexpr const char* kScratchStreamName = "StreamImage";
inline constexpr std::size_t kCopyChunkBytes = 1024;

enum class ConfigSaveOutcome {
    kSaved,
    kScratchFailed,      // the scratch container could not be created or written
    kTargetOpenFailed,   // no temporary file could be created beside the target
    kTargetWriteFailed,  // writing, flushing or renaming the new file failed; the old one is intact
    kTargetRefused,      // the target is of a kind a save does not write; nothing was written
};

struct ConfigSaveResult {
    ConfigSaveOutcome outcome = ConfigSaveOutcome::kSaved;
    platform::ReplaceStep failedStep = platform::ReplaceStep::kNone;
    std::string errorText;  // why the target failed: "it is a directory", or the system's description
};

ConfigSaveResult SaveDocumentThroughScratch(const std::string& document, const std::string& targetPath,
                                            const std::string& scratchPath = kScratchContainerName);

}  // namespace configfile
