// Several record_writer processes at once, and what they said about each record.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_process.h"

namespace testsupport {

struct WriterReport {
    std::vector<std::string> stored;  // keys reported stored where they were sent
    std::vector<std::string> unsent;  // keys reported kept locally, to be sent
};

// Reads the "stored KEY" / "unsent KEY" lines of a record_writer; a line of any other kind fails
// the test.
inline void ReadWriterLines(const std::string& out, WriterReport* report) {
    std::istringstream lines(out);
    std::string word;
    std::string key;
    while (lines >> word) {
        if (word == "paused") {
            continue;
        }
        lines >> key;
        if (word == "stored") {
            report->stored.push_back(key);
        } else if (word == "unsent") {
            report->unsent.push_back(key);
        } else {
            ADD_FAILURE() << "unexpected writer output '" << word << " " << key << "'";
        }
    }
}

// Starts count writers with args each; every one must exit 0.
inline std::vector<std::unique_ptr<ChildProcess>> StartWriters(int count,
                                                               const std::vector<std::string>& args) {
    std::vector<std::unique_ptr<ChildProcess>> writers;
    for (int i = 0; i < count; ++i) {
        writers.push_back(std::make_unique<ChildProcess>(RECORD_WRITER_EXE, args));
        EXPECT_GT(writers.back()->Pid(), 0) << "record_writer did not start";
    }
    return writers;
}

inline WriterReport WaitForWriters(std::vector<std::unique_ptr<ChildProcess>>& writers) {
    WriterReport report;
    for (auto& w : writers) {
        w->CloseInput();
        const ProcessResult r = w->Wait();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        ReadWriterLines(r.out, &report);
    }
    return report;
}

}  // namespace testsupport
