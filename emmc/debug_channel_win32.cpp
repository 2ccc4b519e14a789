#include <windows.h>

#include "debug_channel.h"

namespace tarnwick {

void WriteDebugLine(const char* line) {
    OutputDebugStringA(line);
}

}  // namespace tarnwick
