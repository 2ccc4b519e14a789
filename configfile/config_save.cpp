#include "configfile/config_save.h"

#include "configfile/scratch_container.h"

namespace configfile {

namespace {

ConfigSaveResult TargetFailure(ConfigSaveOutcome outcome, const platform::SaveTargetWriter& writer) {
    ConfigSaveResult result;
    result.outcome = outcome;
    result.failedStep = writer.FailedStep();
    result.errorText = writer.ErrorText();
    return result;
}

}  // namespace

ConfigSaveResult SaveDocumentThroughScratch(const std::string& document, const std::string& targetPath,
                                            const std::string& scratchPath) {
    ScratchContainer scratch;
    if (!scratch.Create(scratchPath, kScratchStreamName) || !scratch.Write(document) || !scratch.Finish()) {
        return {ConfigSaveOutcome::kScratchFailed, platform::ReplaceStep::kNone, {}};
    }
    platform::SaveTargetWriter writer;
    if (!writer.Open(targetPath)) {
        return TargetFailure(
            writer.Refused() ? ConfigSaveOutcome::kTargetRefused : ConfigSaveOutcome::kTargetOpenFailed,
            writer);
    }
    // Chunk by chunk from absolute offsets; a stream that ends early fails the save instead of
    // leaving a short file behind.
    char chunk[kCopyChunkBytes];
    std::uint64_t left = scratch.Size();
    for (std::uint64_t offset = 0; left > 0; offset += kCopyChunkBytes) {
        const std::size_t n = scratch.Seek(offset) ? scratch.Read(chunk, sizeof chunk) : 0;
        if (n == 0) {
            writer.Abandon();
            return {ConfigSaveOutcome::kScratchFailed, platform::ReplaceStep::kNone, {}};
        }
        if (!writer.Write(chunk, n)) {
            return TargetFailure(ConfigSaveOutcome::kTargetWriteFailed, writer);
        }
        left -= n;
    }
    if (!writer.Commit()) {
        return TargetFailure(ConfigSaveOutcome::kTargetWriteFailed, writer);
    }
    return {};
}

}  // namespace configfile
