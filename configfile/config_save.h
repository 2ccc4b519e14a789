// Saving a document: serialised into the scratch container, then copied in chunks into the target,
// which is replaced atomically (the old file stays whole until the new one is complete on disk).
#pragma once

#include <cstddef>
#include <string>

#include "platform/atomic_file.h"

namespace configfile {

inline constexpr const char* kScratchContainerName = "CompoundFile.cmp";  // in the current directory
inline constexpr const char* kScratchStreamName = "StreamImage";
inline constexpr std::size_t kCopyChunkBytes = 1024;

enum class ConfigSaveOutcome {
    kSaved,
    kScratchFailed,      // the scratch container could not be created or written
    kTargetOpenFailed,   // no temporary file could be created beside the target
    kTargetWriteFailed,  // writing, flushing or renaming the new file failed; the old one is intact
};

struct ConfigSaveResult {
    ConfigSaveOutcome outcome = ConfigSaveOutcome::kSaved;
    platform::ReplaceStep failedStep = platform::ReplaceStep::kNone;
    std::string errorText;  // the operating system's description of a target failure
};

ConfigSaveResult SaveDocumentThroughScratch(const std::string& document, const std::string& targetPath,
                                            const std::string& scratchPath = kScratchContainerName);

}  // namespace configfile
