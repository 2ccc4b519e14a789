// Runs marlinq-cli commands in this process with standard output and standard error captured.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace testsupport {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

// One command function, its output taken from the process's standard output and error.
inline CliRun Cli(int (*command)(const marlinq::cli::Args&), const marlinq::cli::Args& args) {
    CliRun r;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    r.code = command(args);
    r.out = ::testing::internal::GetCapturedStdout();
    r.err = ::testing::internal::GetCapturedStderr();
    return r;
}

// A whole command line as marlinq-cli's main gets it, without the program name.
inline CliRun RunCli(std::vector<std::string> words) {
    words.insert(words.begin(), "marlinq-cli");
    std::vector<char*> argv;
    for (auto& w : words) {
        argv.push_back(w.data());
    }
    CliRun r;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    r.code = marlinq::cli::Dispatch(static_cast<int>(argv.size()), argv.data());
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.out = ::testing::internal::GetCapturedStdout();
    r.err = ::testing::internal::GetCapturedStderr();
    return r;
}

}  // namespace testsupport
