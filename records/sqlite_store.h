// The local records file "marlinq-records.sqlite": every record of this station, and the mark of
// those that have still to reach the shared database.
//
// Several processes (one per module on a production line) write the same file at once: the file
// runs in WAL mode, a writer waits up to kBusyTimeoutMs for another's transaction, and each record
// is one transaction of its own, so a record is either wholly there or not at all.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "records/production_record.h"
#include "records/record_query.h"
#include "records/stored_record.h"

namespace records {

inline constexpr const char* kRecordsFileName = "marlinq-records.sqlite";
inline constexpr int kBusyTimeoutMs = 10000;

// The records file in folder (a folder name with its trailing separator).
std::string RecordsFileIn(const std::string& folder);

// Where the tool keeps its records: in the folder where it writes its own files (beside the
// program for a portable copy, else the user's data folder), which is created when missing.
std::string DefaultRecordsPath();

class SqliteStore {
  public:
    SqliteStore() = default;
    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    // Opens path, creating the file when missing and bringing an older layout up to date. false
    // with the reason in *error.
    bool Open(const std::string& path, std::string* error);
    const std::string& Path() const { return m_path; }

    // Stores record in one transaction, marked unsent when asked. A record whose key is already
    // there is left as it is (a repeated write is harmless). A record that breaks the rules of
    // CheckRecord is refused before anything is written.
    bool Add(const ProductionRecord& record, bool unsent, std::string* error);

    // The records query asks for, oldest first. Every row read back is checked; a damaged one
    // fails the whole read with its key named.
    bool Find(const RecordQuery& query, std::vector<StoredRecord>* found, std::string* error);

    // Clears the unsent mark of the record with key; true also when it was clear already.
    bool MarkSent(const std::string& key, std::string* error);

    // Whether a passed record exists for the unit imsi with the parameter file of digest.
    bool HasPassed(const std::string& imsi, const std::string& digest, bool* found, std::string* error);

  private:
    bool Insert(const ProductionRecord& record, bool unsent, std::string* error);
    bool ReadChildren(ProductionRecord* record, std::string* error);
    std::string Failure(const std::string& doing) const;

    sqlite3* m_db = nullptr;
    std::string m_path;
};

}  // namespace records
