// marlinq-cli records: listings as a table, CSV and JSON, the file's place, and bad arguments.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/commands.h"
#include "cli/record_listing.h"
#include "platform/data_directory.h"
#include "records/sqlite_store.h"
#include "sample_records.h"
#include "tests/support/cli_capture.h"

namespace {

using testsupport::Cli;

// Reads CSV as RFC 4180 writes it: rows of fields.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.back().push_back(field);
            field.clear();
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    if (rows.back().empty()) {
        rows.pop_back();
    }
    return rows;
}

class RecordsCommandTest : public ::testing::Test {
  protected:
    void Store(const records::ProductionRecord& r, bool unsent = false) {
        records::SqliteStore store;
        std::string error;
        ASSERT_TRUE(store.Open(records::DefaultRecordsPath(), &error)) << error;
        ASSERT_TRUE(store.Add(r, unsent, &error)) << error;
    }
    const records::ProductionRecord passed =
        testsupport::PassedRecord("460010000000001", "2026-12-10T02:23:00Z");
    const records::ProductionRecord mismatch =
        testsupport::MismatchRecord("460010000000002", "2026-12-11T08:00:00Z");
    const records::ProductionRecord failed = testsupport::FailedRecord("", "2026-12-12T09:30:00Z");
};

TEST_F(RecordsCommandTest, WhereNamesTheFileInTheToolsFilesFolder) {
    const auto r = Cli(marlinq::cli::RunRecordsCommand, {"--where"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, platform::PeekDataDirectory() + "marlinq-records.sqlite\n");
    EXPECT_FALSE(std::filesystem::exists(platform::PeekDataDirectory() + "marlinq-records.sqlite"))
        << "looking creates nothing";
}

TEST_F(RecordsCommandTest, ATableListsTheRecordsInTimeOrderOneLineEach) {
    auto r0 = Cli(marlinq::cli::RunRecordsCommand, {});
    EXPECT_EQ(r0.code, 0) << r0.err;
    EXPECT_NE(r0.out.find("no records"), std::string::npos) << r0.out;
    Store(failed);
    Store(passed);
    Store(mismatch, true);
    const auto r = Cli(marlinq::cli::RunRecordsCommand, {});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<std::string> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
        rows.push_back(r.out.substr(start, end - start));
    }
    ASSERT_EQ(rows.size(), 4u) << r.out;
    EXPECT_EQ(rows[0].rfind("STARTED", 0), 0u) << rows[0];
    EXPECT_EQ(rows[1].rfind("2026-12-10T02:23:00Z  passed", 0), 0u) << rows[1];
    EXPECT_NE(rows[2].find("mismatch"), std::string::npos);
    EXPECT_NE(rows[2].find("waiting"), std::string::npos) << "an unsent record says so";
    EXPECT_NE(rows[3].find("COM201 is busy: another program holds it ..."), std::string::npos)
        << "the failure's first line, marked as cut: " << rows[3];
    EXPECT_NE(rows[1].find("Werkseinstellung, Linie 3 \"neu\".xml"), std::string::npos) << rows[1];
    // Columns line up: every outcome starts where the header's does.
    const auto column = rows[0].find("OUTCOME");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].find_first_of("pfm", 20), column) << rows[i];
    }
}

TEST_F(RecordsCommandTest, FiltersSelectByDateImsiAndFailure) {
    Store(passed);
    Store(mismatch);
    Store(failed);
    auto keysOf = [](const std::string& csv) {
        std::vector<std::string> keys;
        const auto rows = ParseCsv(csv);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            keys.push_back(rows[i][0]);
        }
        return keys;
    };
    using V = std::vector<std::string>;
    auto run = [&](marlinq::cli::Args args) {
        args.push_back("--csv");
        const auto r = Cli(marlinq::cli::RunRecordsCommand, args);
        EXPECT_EQ(r.code, 0) << r.err;
        return keysOf(r.out);
    };
    EXPECT_EQ(run({}), (V{passed.key, mismatch.key, failed.key}));
    EXPECT_EQ(run({"--since", "2026-12-11"}), (V{mismatch.key, failed.key}));
    EXPECT_EQ(run({"--since", "2026-12-11T08:00:01Z"}), (V{failed.key}));
    EXPECT_EQ(run({"--failed"}), (V{mismatch.key, failed.key}));
    EXPECT_EQ(run({"--imsi", "460010000000001"}), (V{passed.key}));
    EXPECT_EQ(run({"--imsi", "460010000000001", "--failed"}), V{});
}

TEST_F(RecordsCommandTest, CsvReadsBackToEveryFieldWithCommasQuotesAndLineEnds) {
    Store(mismatch, true);
    const auto r = Cli(marlinq::cli::RunRecordsCommand, {"--csv"});
    EXPECT_EQ(r.code, 0) << r.err;
    const auto rows = ParseCsv(r.out);
    ASSERT_EQ(rows.size(), 2u) << r.out;
    EXPECT_EQ(rows[0], (std::vector<std::string>{"key", "started", "ended", "station", "operator", "port",
                                                 "imsi", "app_version", "hardware_version", "parameter_file",
                                                 "parameter_sha256", "outcome", "failure", "unsent", "values",
                                                 "differences"}));
    const auto& m = mismatch;
    EXPECT_EQ(rows[1],
              (std::vector<std::string>{
                  m.key, m.started, m.ended, m.station, m.operatorName, "COM201", m.imsi, m.appVersion,
                  m.hardwareVersion, m.parameterFile, m.parameterSha256, "mismatch", m.failure, "yes",
                  "{\"tcp.Port\": \"5020\", \"tcp.Server\": \"ferry.example.net\", \"mqtt.Topic\": "
                  "\"a,b \\\"c\\\"\\nsecond line\\ttab {x} \\\\ back\", \"main.Name\": \"Zähler 東京 ✓\", "
                  "\"main.Empty\": \"\"}",
                  "[{\"name\": \"tcp.Port\", \"sent\": \"5020\", \"reported\": \"502\"}, {\"name\": "
                  "\"mqtt.Topic\", \"sent\": \"a,b \\\"c\\\"\\nsecond\", \"reported\": \"a;b\"}]"}));
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(marlinq::cli::CsvField("plain"), "plain");
    EXPECT_EQ(marlinq::cli::CsvField(""), "");
    EXPECT_EQ(marlinq::cli::CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(marlinq::cli::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(marlinq::cli::CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(marlinq::cli::CsvField(" padded"), "\" padded\"");
    EXPECT_EQ(marlinq::cli::CsvField("Zähler"), "Zähler");
}

TEST_F(RecordsCommandTest, JsonHoldsEveryRecordWithItsValuesEscaped) {
    Store(passed);
    Store(failed);
    const auto r = Cli(marlinq::cli::RunRecordsCommand, {"--json"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.front(), '[');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "]\n");
    EXPECT_NE(r.out.find("\"key\": \"" + passed.key + "\""), std::string::npos);
    EXPECT_NE(r.out.find("\"mqtt.Topic\": \"a,b \\\"c\\\"\\nsecond line\\ttab {x} \\\\ back\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"main.Name\": \"Zähler 東京 ✓\""), std::string::npos);
    EXPECT_NE(
        r.out.find("\"failure\": \"COM201 is busy: another program holds it\\nsecond line, \\\"quoted\\\"\""),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"unsent\": false"), std::string::npos);
    EXPECT_NE(r.out.find("\"values\": {}"), std::string::npos) << "the failed unit sent nothing";
    EXPECT_NE(r.out.find("\"differences\": []"), std::string::npos);
    const auto none = Cli(marlinq::cli::RunRecordsCommand, {"--json", "--imsi", "460019999999999"});
    EXPECT_EQ(none.out, "[]\n");
}

TEST_F(RecordsCommandTest, BadArgumentsAreOneUsageLineAndTouchNothing) {
    const std::vector<std::pair<marlinq::cli::Args, const char*>> cases = {
        {{"--csv", "--json"}, "exclude each other"},
        {{"--since", "last week"}, "--since 'last week' is not a date"},
        {{"--since", "2026-02-30"}, "is not a date"},
        {{"--since"}, "--since"},
        {{"--imsi", "46001abc"}, "is not an IMSI"},
        {{"--where", "--failed"}, "--where takes no other option"},
        {{"--sync", "postgresql://u@h:1/db", "--csv"}, "--sync takes no other option"},
        {{"--sync", "http://db/records"}, "does not start with postgresql://"},
        {{"--sync", "postgresql://u:secret@h:x/db"}, "names no port"},
        {{"--sync", "postgresql://u:secret@h:1/db?bogus=1"}, "cannot be read"},
        {{"--color"}, "--color"},
        {{"everything"}, "'everything' is not an option"},
    };
    for (const auto& [args, why] : cases) {
        const auto r = Cli(marlinq::cli::RunRecordsCommand, args);
        EXPECT_EQ(r.code, 2) << args.front();
        EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_EQ(r.err.find("secret"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(platform::PeekDataDirectory() + "marlinq-records.sqlite"));
}

TEST_F(RecordsCommandTest, ADamagedFileFailsTheListingWithOneLine) {
    Store(passed);
    std::ofstream(records::DefaultRecordsPath(), std::ios::binary | std::ios::in | std::ios::out)
        << "this is no longer a database header";
    const auto r = Cli(marlinq::cli::RunRecordsCommand, {});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("marlinq-cli records: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("marlinq-records.sqlite"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST_F(RecordsCommandTest, TheCommandIsReachedFromTheCommandLine) {
    Store(passed);
    const auto r = testsupport::RunCli({"records", "--csv"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(passed.key), std::string::npos);
    const auto help = testsupport::RunCli({"--help"});
    EXPECT_NE(help.out.find("records [--since DATE]"), std::string::npos) << help.out;
}

}  // namespace
