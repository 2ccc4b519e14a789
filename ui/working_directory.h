// The current directory of the tool's window programs.
#pragma once

namespace marlinq {

// When the program starts with the current directory in its own folder, and that folder is not
// the user's own (an installed copy: Program Files\Marlinq, which a Start-menu entry names as the
// working directory, or /usr/lib/marlinq), moves the current directory to the folder the tool
// writes to (created when needed): every save makes its scratch container "CompoundFile.cmp" in
// the current directory, and an installed folder takes no files. A portable copy stays where it
// was started. Returns true when it moved. Call before any thread starts.
bool LeaveInstalledProgramFolder();

}  // namespace marlinq
