// The plain integer result types that the AT layer and its callers share.
#pragma once

#include <cstdint>

typedef int BOOL;
typedef std::uint32_t DWORD;

// Constants rather than macros, so that other namespaces may have their own TRUE and FALSE.
// Where the system headers already define the macros, those serve.
#ifndef TRUE
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
#endif
