// One production record: what happened to one unit in one attempt of the production line.
//
// A record is written once, when its unit is done, and never changed afterwards; only its "unsent"
// mark in the local file changes once the shared database has it. The record key makes a second
// send of the same record harmless.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace records {

enum class Outcome {
    Passed,    // every value was sent and the module reported them back as sent
    Failed,    // the unit failed before the values could be checked (port, answer, timeout)
    Mismatch,  // the values were sent but the module reports some of them differently
};

// "passed", "failed", "mismatch".
const char* OutcomeText(Outcome outcome);
// The outcome written as OutcomeText writes it; nothing for any other text.
std::optional<Outcome> ParseOutcome(std::string_view text);

// One value sent to the module, by the parameter's name ("tcp.Port").
struct SentValue {
    std::string name;
    std::string value;

    bool operator==(const SentValue&) const = default;
};

// One parameter the module reported differently from what was sent.
struct VerifyDifference {
    std::string name;
    std::string sent;
    std::string reported;

    bool operator==(const VerifyDifference&) const = default;
};

struct ProductionRecord {
    std::string key;                // 32 lower-case hex digits (NewRecordKey)
    std::string started;            // UTC, "2026-12-10T02:23:00Z"
    std::string ended;              // UTC, not before started
    std::string station;            // host name of the station
    std::string operatorName;       // user name of the operator
    int port = 0;                   // COM number; 0 when no port was found
    std::string imsi;               // empty when it could not be read
    std::string appVersion;         // application version the module reported
    std::string hardwareVersion;    // hardware version the module reported
    std::string parameterFile;      // name of the parameter file
    std::string parameterSha256;    // SHA-256 of the parameter file, 64 lower-case hex digits
    std::vector<SentValue> values;  // in the order they were sent
    std::vector<VerifyDifference> differences;
    Outcome outcome = Outcome::Failed;
    std::string failure;  // the first failure's message; empty when the unit passed

    bool operator==(const ProductionRecord&) const = default;
};

}  // namespace records
