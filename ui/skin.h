// The skin layer: gives the tool's windows a skin from a skin file. The views use the desktop's own
// look, so the layer only reports whether the skin file is there; callers ignore the result.
#pragma once

namespace marlinq {

// Returns 1 when the skin file `file` exists beside the program or in the current directory, else 0.
int InitializeSkin(const char* file);

}  // namespace marlinq
