// Records for the tests: every field filled, with text that tends to break storage and output
// (non-ASCII, quotes, commas, line ends, braces, backslashes).
#pragma once

#include <string>

#include "records/production_record.h"
#include "records/record_key.h"
#include "records/sha256.h"

namespace testsupport {

// A passed record of unit imsi, started on the day and second given by started.
inline records::ProductionRecord PassedRecord(const std::string& imsi = "460011234567890",
                                              const std::string& started = "2026-12-10T02:23:00Z") {
    records::ProductionRecord r;
    r.key = records::NewRecordKey();
    r.started = started;
    r.ended = started.substr(0, 17) + "59Z";
    r.station = "line-3-station-2";
    r.operatorName = "jörg.öhman";
    r.port = 201;
    r.imsi = imsi;
    r.appVersion = "V2.1.7 \"build\" 17";
    r.hardwareVersion = "HW 1,2";
    r.parameterFile = "Werkseinstellung, Linie 3 \"neu\".xml";
    r.parameterSha256 = records::Sha256Hex("the parameter file");
    r.values = {{"tcp.Port", "5020"},
                {"tcp.Server", "ferry.example.net"},
                {"mqtt.Topic", "a,b \"c\"\nsecond line\ttab {x} \\ back"},
                {"main.Name", "Zähler 東京 ✓"},
                {"main.Empty", ""}};
    r.outcome = records::Outcome::Passed;
    return r;
}

// A mismatch record: the module reported two values differently.
inline records::ProductionRecord MismatchRecord(const std::string& imsi = "460019876543210",
                                                const std::string& started = "2026-12-11T08:00:00Z") {
    records::ProductionRecord r = PassedRecord(imsi, started);
    r.outcome = records::Outcome::Mismatch;
    r.differences = {{"tcp.Port", "5020", "502"}, {"mqtt.Topic", "a,b \"c\"\nsecond", "a;b"}};
    r.failure = "2 values differ after Download";
    return r;
}

// A failed record: the unit failed before the values were checked.
inline records::ProductionRecord FailedRecord(const std::string& imsi = "",
                                              const std::string& started = "2026-12-12T09:30:00Z") {
    records::ProductionRecord r = PassedRecord(imsi, started);
    r.outcome = records::Outcome::Failed;
    r.appVersion.clear();
    r.hardwareVersion.clear();
    r.values.clear();
    r.failure = "COM201 is busy: another program holds it\nsecond line, \"quoted\"";
    return r;
}

}  // namespace testsupport
