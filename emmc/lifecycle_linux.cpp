// Load and unload lines of the shared library. Linux has no per-thread notification, so only the
// process lines are written.
#include "debug_channel.h"
#include "lifecycle_messages.h"

namespace {

[[gnu::constructor]] void OnLibraryLoad() {
    tarnwick::WriteDebugLine(tarnwick::kProcessAttachLine);
}

[[gnu::destructor]] void OnLibraryUnload() {
    tarnwick::WriteDebugLine(tarnwick::kProcessDetachLine);
}

}  // namespace
