// The plain integer result types that the AT layer and its callers share.
#pragma once

#include <cstdint>

typedef int BOOL;
typedef std::uint32_t DWORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
