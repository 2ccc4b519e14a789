// The tool's string table.
#pragma once

#include <string>

namespace marlinq {

// The text of string resource `id`; empty when there is none.
std::string LoadString(unsigned id);

}  // namespace marlinq
