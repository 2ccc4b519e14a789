// Every AT answer parser over arbitrary answer texts of at most one read (200 bytes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "atlink/answer_parsers.h"
#include "fuzz/fuzz_check.h"

using fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A read brings at most 200 bytes and the text ends at its first NUL.
    std::string answer(reinterpret_cast<const char*>(data), size > 200 ? 200 : size);
    answer.resize(answer.find('\0') == std::string::npos ? answer.size() : answer.find('\0'));
    using namespace atlink;
    atlink::ParseSetAnswer(answer);
    const int mode = ParseDtuModeAnswer(answer);
    Check(mode == 0 || mode == 1 || mode == 2);
    Check(ParseCimiAnswer(answer).size() < kCimiField);
    Check(ParseDtuCfgAnswer(answer).size() < kDtuCfgField);
    Check(ParseCnmpAnswer(answer).size() < kCnmpField);
    Check(ParseAuthAnswer(answer).size() < kAuthField);
    Check(ParseApnAnswer(answer).size() <= answer.size());
    Check(ParseGmrAnswer(answer).size() < kGmrField);
    Check(ParseCsubAnswer(answer).size() <= 2 * (kCsubField - 1) + 1);
    Check(ParseVerAnswer(answer).size() < kVerField);
    ParseAdbAnswer(answer);
    return 0;
}
