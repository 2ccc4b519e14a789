// The key that names one record everywhere it is stored: 128 random bits as 32 lower-case hex
// digits, so that stations never pick the same key and a record sent twice is found as the same.
#pragma once

#include <string>

namespace records {

std::string NewRecordKey();

}  // namespace records
