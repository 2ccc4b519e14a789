// Runs a marlinq-cli command in this process with standard output and standard error captured.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "cli/commands.h"

namespace testsupport {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

inline CliRun Cli(int (*command)(const marlinq::cli::Args&), const marlinq::cli::Args& args) {
    CliRun r;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    r.code = command(args);
    r.out = ::testing::internal::GetCapturedStdout();
    r.err = ::testing::internal::GetCapturedStderr();
    return r;
}

}  // namespace testsupport
