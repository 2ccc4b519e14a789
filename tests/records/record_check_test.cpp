// The rules a record follows before it is stored and when it is read back.
#include "records/record_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "records/record_key.h"
#include "sample_records.h"

namespace {

using records::ProductionRecord;

TEST(RecordCheck, TheSampleRecordsOfEveryOutcomeFollowTheRules) {
    EXPECT_EQ(records::CheckRecord(testsupport::PassedRecord()), "");
    EXPECT_EQ(records::CheckRecord(testsupport::MismatchRecord()), "");
    EXPECT_EQ(records::CheckRecord(testsupport::FailedRecord()), "");
}

struct Breakage {
    const char* what;                               // what the message must name
    std::function<void(ProductionRecord&)> break_;  // the fault
};

TEST(RecordCheck, EachBrokenFieldIsRefusedWithItsName) {
    const std::vector<Breakage> cases = {
        {"record key", [](ProductionRecord& r) { r.key = "ABCDEF0123456789ABCDEF0123456789"; }},
        {"record key", [](ProductionRecord& r) { r.key.pop_back(); }},
        {"start time", [](ProductionRecord& r) { r.started = "2026-12-10 02:23:00"; }},
        {"end time", [](ProductionRecord& r) { r.ended = "2026-12-10T02:23:00+01:00"; }},
        {"before the start time", [](ProductionRecord& r) { r.ended = "2026-12-09T23:00:00Z"; }},
        {"station is empty", [](ProductionRecord& r) { r.station.clear(); }},
        {"station", [](ProductionRecord& r) { r.station = "line\n3"; }},
        {"operator", [](ProductionRecord& r) { r.operatorName = std::string(300, 'o'); }},
        {"application version", [](ProductionRecord& r) { r.appVersion = "V2\x1b[31m"; }},
        {"hardware version", [](ProductionRecord& r) { r.hardwareVersion = "HW \xff\xfe"; }},
        {"port", [](ProductionRecord& r) { r.port = 10000; }},
        {"port", [](ProductionRecord& r) { r.port = -1; }},
        {"IMSI", [](ProductionRecord& r) { r.imsi = "46001123456789a"; }},
        {"IMSI", [](ProductionRecord& r) { r.imsi = "4600112345678901"; }},
        {"parameter file's name", [](ProductionRecord& r) { r.parameterFile = std::string("a\0b", 3); }},
        {"SHA-256", [](ProductionRecord& r) { r.parameterSha256 = std::string(63, 'a'); }},
        {"failure message", [](ProductionRecord& r) { r.failure = std::string(5000, 'x'); }},
        {"parameter name",
         [](ProductionRecord& r) {
             r.values.push_back({"tcp Port", "1"});
         }},
        {"parameter name",
         [](ProductionRecord& r) {
             r.values.push_back({"", "1"});
         }},
        {"value of mqtt.Topic", [](ProductionRecord& r) { r.values[2].value = "\xc0\xaf"; }},  // overlong '/'
        {"value of main.Name",
         [](ProductionRecord& r) { r.values[3].value = "\xed\xa0\x80"; }},  // a surrogate
        {"values sent",
         [](ProductionRecord& r) {
             r.values.resize(records::kValuesPerRecord + 1, {"a.b", "1"});
         }},
        {"passed record lists differences",
         [](ProductionRecord& r) {
             r.differences.push_back({"a.b", "1", "2"});
         }},
        {"passed record has a failure", [](ProductionRecord& r) { r.failure = "late"; }},
    };
    for (const auto& c : cases) {
        ProductionRecord r = testsupport::PassedRecord();
        c.break_(r);
        const std::string message = records::CheckRecord(r);
        EXPECT_NE(message.find(c.what), std::string::npos)
            << "expected '" << c.what << "', got '" << message << "'";
    }
}

TEST(RecordCheck, OutcomesAgreeWithTheirDetails) {
    ProductionRecord failed = testsupport::FailedRecord();
    failed.failure.clear();
    EXPECT_NE(records::CheckRecord(failed).find("no failure message"), std::string::npos);
    ProductionRecord mismatch = testsupport::MismatchRecord();
    mismatch.differences.clear();
    EXPECT_NE(records::CheckRecord(mismatch).find("no difference"), std::string::npos);
    ProductionRecord mismatchBadReport = testsupport::MismatchRecord();
    mismatchBadReport.differences[0].reported = std::string(
        "5\0"
        "02",
        4);
    EXPECT_NE(records::CheckRecord(mismatchBadReport).find("value reported of tcp.Port"), std::string::npos);
}

TEST(RecordCheck, ValuesAndMessagesMayHoldLineEndsButNamesMayNot) {
    ProductionRecord r = testsupport::PassedRecord();
    r.values[0].value = "line one\r\nline two\tend";
    EXPECT_EQ(records::CheckRecord(r), "");
    r.parameterFile = "file\tname.xml";
    EXPECT_NE(records::CheckRecord(r).find("control character"), std::string::npos);
}

TEST(RecordCheck, AQuotedFieldIsShortenedAndStrippedOfControlCharacters) {
    EXPECT_EQ(records::Shown("a\nb"), "a?b");
    EXPECT_EQ(records::Shown(std::string(50, 'x')), std::string(40, 'x') + "...");
}

TEST(RecordKey, KeysAre128BitsOfHexAndDoNotRepeat) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string key = records::NewRecordKey();
        EXPECT_TRUE(records::IsLowerHex(key, records::kKeyDigits)) << key;
        EXPECT_TRUE(seen.insert(key).second) << "repeated " << key;
    }
}

TEST(Outcome, TextFormsReadBackAndNothingElseDoes) {
    for (const auto o : {records::Outcome::Passed, records::Outcome::Failed, records::Outcome::Mismatch}) {
        EXPECT_EQ(records::ParseOutcome(records::OutcomeText(o)), o);
    }
    EXPECT_EQ(std::string(records::OutcomeText(records::Outcome::Mismatch)), "mismatch");
    EXPECT_FALSE(records::ParseOutcome("Passed"));
    EXPECT_FALSE(records::ParseOutcome(""));
}

}  // namespace
