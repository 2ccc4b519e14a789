#include "cli/records_command.h"

#include <filesystem>
#include <iostream>

#include "cli/failures.h"
#include "cli/options.h"
#include "cli/record_listing.h"
#include "platform/data_directory.h"
#include "records/postgres_url.h"
#include "records/record_check.h"
#include "records/record_sink.h"
#include "records/sqlite_store.h"
#include "records/utc_time.h"

namespace marlinq::cli {

namespace {

constexpr const char* kArguments =
    "[--since DATE] [--imsi X] [--failed] [--csv|--json] | --where | --sync URL";

enum class ListFormat { Table, Csv, Json };

bool IsImsiArgument(const std::string& text) {
    if (text.size() < 6 || text.size() > 15) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The records file as it is now; nothing is created by looking.
std::string CurrentRecordsFile() {
    return records::RecordsFileIn(platform::PeekDataDirectory());
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

int Sync(const std::string& url, std::ostream& out, std::ostream& err) {
    const std::string path = CurrentRecordsFile();
    if (!FileExists(path)) {
        out << "sent 0 records: " << path << " does not exist yet\n";
        return out.flush() ? kExitDone : kExitFailed;
    }
    const records::SyncResult result = records::SyncUnsent(url, path);
    if (!result.error.empty()) {
        return Fail("marlinq-cli records --sync: " + result.error + "; " + std::to_string(result.sent) +
                        " sent, " + std::to_string(result.left) + " still waiting",
                    err);
    }
    out << "sent " << result.sent << " records to " << records::ShownPostgresUrl(url) << "\n";
    return out.flush() ? kExitDone : kExitFailed;
}

int List(const records::RecordQuery& query, ListFormat format, std::ostream& out, std::ostream& err) {
    const std::string path = CurrentRecordsFile();
    std::vector<records::StoredRecord> found;
    if (FileExists(path)) {
        records::SqliteStore store;
        std::string error;
        if (!store.Open(path, &error) || !store.Find(query, &found, &error)) {
            return Fail("marlinq-cli records: " + error, err);
        }
    }
    if (format == ListFormat::Csv) {
        out << RecordsCsv(found);
    } else if (format == ListFormat::Json) {
        out << RecordsJson(found);
    } else if (found.empty()) {
        out << "no records" << (FileExists(path) ? " found in " : ": no file yet at ") << path << "\n";
    } else {
        out << RecordsTable(found);
    }
    return out.flush() ? kExitDone : kExitFailed;
}

}  // namespace

int RunRecords(const Args& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {
        TextOption("--since"), TextOption("--imsi"),  FlagOption("--failed"), FlagOption("--csv"),
        FlagOption("--json"),  FlagOption("--where"), TextOption("--sync")};
    if (!ParseArgs(args, specs, &parsed, &error)) {
        return UsageError("records", kArguments, error, err);
    }
    if (!parsed.rest.empty()) {
        return UsageError("records", kArguments,
                          "'" + records::Shown(parsed.rest.front()) + "' is not an option", err);
    }
    const bool listing = parsed.Has("--since") || parsed.Has("--imsi") || parsed.Has("--failed") ||
                         parsed.Has("--csv") || parsed.Has("--json");
    if (parsed.Has("--where")) {
        if (listing || parsed.Has("--sync")) {
            return UsageError("records", kArguments, "--where takes no other option", err);
        }
        out << CurrentRecordsFile() << "\n";
        return out.flush() ? kExitDone : kExitFailed;
    }
    if (parsed.Has("--sync")) {
        if (listing) {
            return UsageError("records", kArguments, "--sync takes no other option", err);
        }
        const std::string url = parsed.Text("--sync");
        if (const std::string bad = records::CheckPostgresUrl(url); !bad.empty()) {
            return UsageError("records", kArguments, bad, err);
        }
        return Sync(url, out, err);
    }
    if (parsed.Has("--csv") && parsed.Has("--json")) {
        return UsageError("records", kArguments, "--csv and --json exclude each other", err);
    }
    records::RecordQuery query;
    if (parsed.Has("--since")) {
        const std::string given = parsed.Text("--since");
        const auto since = records::SinceBound(given);
        if (!since) {
            return UsageError("records", kArguments,
                              "--since '" + records::Shown(given) +
                                  "' is not a date like 2026-12-10 or a UTC time like 2026-12-10T02:23:00Z",
                              err);
        }
        query.since = *since;
    }
    if (parsed.Has("--imsi")) {
        query.imsi = parsed.Text("--imsi");
        if (!IsImsiArgument(query.imsi)) {
            return UsageError("records", kArguments,
                              "--imsi '" + records::Shown(query.imsi) + "' is not an IMSI of 6 to 15 digits",
                              err);
        }
    }
    query.failedOnly = parsed.Has("--failed");
    const ListFormat format = parsed.Has("--csv")    ? ListFormat::Csv
                              : parsed.Has("--json") ? ListFormat::Json
                                                     : ListFormat::Table;
    return List(query, format, out, err);
}

int RunRecordsCommand(const Args& args) {
    return RunRecords(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
