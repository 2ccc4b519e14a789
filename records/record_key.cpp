#include "records/record_key.h"

#include <random>

namespace records {

std::string NewRecordKey() {
    // The system's entropy source, not a seeded generator: processes started at the same moment on
    // different stations must not draw the same key.
    static thread_local std::random_device source;
    static const char kHex[] = "0123456789abcdef";
    std::string key;
    for (int word = 0; word < 4; ++word) {
        std::uint32_t bits = source();
        for (int nibble = 0; nibble < 8; ++nibble) {
            key += kHex[bits & 0xF];
            bits >>= 4;
        }
    }
    return key;
}

}  // namespace records
