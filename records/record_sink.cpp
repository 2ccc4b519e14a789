#include "records/record_sink.h"

#include <vector>

#include "records/postgres_store.h"
#include "records/record_check.h"
#include "records/sqlite_store.h"

namespace records {

namespace {

StoreResult StoreLocally(const ProductionRecord& record, const std::string& sqlitePath, bool unsent,
                         const std::string& why) {
    StoreResult result;
    SqliteStore local;
    std::string error;
    if (!local.Open(sqlitePath, &error) || !local.Add(record, unsent, &error)) {
        result.error = why.empty() ? error : why + "; and " + error;
        return result;
    }
    result.stored = true;
    result.unsent = unsent;
    if (unsent) {
        result.note = "record " + record.key + " kept in " + sqlitePath + ", to be sent: " + why;
    }
    return result;
}

}  // namespace

StoreResult StoreRecord(const ProductionRecord& record, const std::string& url,
                        const std::string& sqlitePath) {
    if (const std::string bad = CheckRecord(record); !bad.empty()) {
        StoreResult refused;
        refused.error = "record not stored: " + bad;
        return refused;
    }
    if (url.empty()) {
        return StoreLocally(record, sqlitePath, false, {});
    }
    PostgresStore shared;
    std::string error;
    if (shared.Connect(url, &error) && shared.Add(record, &error)) {
        StoreResult result;
        result.stored = true;
        return result;
    }
    return StoreLocally(record, sqlitePath, true, error);
}

SyncResult SyncUnsent(const std::string& url, const std::string& sqlitePath) {
    SyncResult result;
    SqliteStore local;
    std::vector<StoredRecord> unsent;
    RecordQuery query;
    query.unsentOnly = true;
    if (!local.Open(sqlitePath, &result.error) || !local.Find(query, &unsent, &result.error)) {
        return result;
    }
    result.left = unsent.size();
    if (unsent.empty()) {
        return result;
    }
    PostgresStore shared;
    if (!shared.Connect(url, &result.error)) {
        return result;
    }
    for (const auto& stored : unsent) {
        // Marked only after the server confirmed: a record whose confirmation was lost is sent
        // again next time, and its key makes that second copy harmless.
        if (!shared.Add(stored.record, &result.error) || !local.MarkSent(stored.record.key, &result.error)) {
            return result;
        }
        ++result.sent;
        --result.left;
    }
    return result;
}

}  // namespace records
