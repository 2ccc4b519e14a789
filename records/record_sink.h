// Where a finished unit's record goes: the line's shared database when its URL is given, else the
// local records file. A record that cannot reach the shared database is kept in the local file,
// marked unsent, and counts as stored; SyncUnsent sends it later, once.
//
// The caller reports a unit passed only after Store said the record is stored; a record that
// could be stored nowhere is the caller's failure to report.
#pragma once

#include <cstddef>
#include <string>

#include "records/production_record.h"

namespace records {

struct StoreResult {
    bool stored = false;  // the record is in the shared database or in the local file
    bool unsent = false;  // it is in the local file and waits to be sent
    std::string note;     // when unsent: why, and that it waits ("record kept in FILE, to be sent: ...")
    std::string error;    // when not stored: why
};

// Stores record in the shared database at url, or in the local file at sqlitePath when url is
// empty or the database cannot take it now. A record that breaks the rules of CheckRecord is
// stored nowhere.
StoreResult StoreRecord(const ProductionRecord& record, const std::string& url,
                        const std::string& sqlitePath);

struct SyncResult {
    std::size_t sent = 0;  // records the server confirmed, now marked sent
    std::size_t left = 0;  // unsent records still waiting
    std::string error;     // empty when every unsent record was sent
};

// Sends every unsent record of the local file at sqlitePath to the shared database at url, each
// marked sent once the server confirmed it. Stops at the first failure (the rest wait for the
// next sync).
SyncResult SyncUnsent(const std::string& url, const std::string& sqlitePath);

}  // namespace records
