// The plain integer result types of the AT layer's entry points, in the style its callers are
// written in.
#pragma once

#include <cstdint>

namespace atlink {

using BOOL = int;
using DWORD = std::uint32_t;

// Constants rather than macros, so that other namespaces may have their own TRUE and FALSE.
// Where the system headers already define the macros, those serve.
#ifndef TRUE
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
#endif

}  // namespace atlink
