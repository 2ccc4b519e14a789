// A station's process for the tests: stores records one by one and says where each went.
//
//   record_writer SQLITE_FILE URL|- COUNT [PAUSE_AFTER]
//
// Prints "stored KEY" (in the shared database, or the local file when URL is "-") or "unsent KEY"
// (kept in the local file, to be sent) per record. With PAUSE_AFTER it prints "paused" after that
// many records and goes on once a line arrives on standard input. Exit 0 when every record was
// stored somewhere, 1 otherwise (the reasons on standard error).
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "records/record_sink.h"
#include "sample_records.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: record_writer SQLITE_FILE URL|- COUNT [PAUSE_AFTER]\n";
        return 2;
    }
    const std::string sqlitePath = argv[1];
    const std::string url = std::string(argv[2]) == "-" ? std::string() : argv[2];
    const int count = std::stoi(argv[3]);
    const int pauseAfter = argc == 5 ? std::stoi(argv[4]) : -1;
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        if (i == pauseAfter) {
            std::cout << "paused" << std::endl;
            std::string line;
            std::getline(std::cin, line);
        }
        // A unit of its own per process and record: 46001, the process id, the record's number.
        char imsi[32];
        std::snprintf(imsi, sizeof imsi, "46001%06d%04d", static_cast<int>(::getpid() % 1000000), i);
        const auto record = testsupport::PassedRecord(imsi);
        const auto result = records::StoreRecord(record, url, sqlitePath);
        if (!result.stored) {
            std::cerr << "record " << record.key << ": " << result.error << "\n";
            ++failures;
            continue;
        }
        std::cout << (result.unsent ? "unsent " : "stored ") << record.key << std::endl;
    }
    return failures == 0 ? 0 : 1;
}
