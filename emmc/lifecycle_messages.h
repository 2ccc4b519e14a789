// The lines the library writes to the debug channel when it is loaded and unloaded.
#pragma once

namespace tarnwick {

inline constexpr const char* kProcessAttachLine = "Tarnwick.dll process attach version:1.0,modify 2011-08-17";
inline constexpr const char* kProcessDetachLine = "Tarnwick.dll process detach";
inline constexpr const char* kThreadAttachLine = "Tarnwick.dll thread attach";
inline constexpr const char* kThreadDetachLine = "Tarnwick.dll thread detach";

}  // namespace tarnwick
