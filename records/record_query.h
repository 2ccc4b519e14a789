// Which records a listing wants. Every condition given must hold; none given lists them all.
#pragma once

#include <string>

namespace records {

struct RecordQuery {
    std::string since;        // a time as UtcTimestamp writes it: records started then or later
    std::string imsi;         // only this unit's records
    bool failedOnly = false;  // only the failed and mismatch ones
    bool unsentOnly = false;  // only those that have still to reach the shared database
};

}  // namespace records
