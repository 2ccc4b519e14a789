// How a session paces its AT transactions.
//
//  - Fixed: every transaction makes its row's fixed pauses (before the write, and after it
//    before the single read), whatever the module does. The default everywhere.
//  - Answer: a transaction waits the row's settle time (the gap the module needs after its last
//    answer before it takes a new request; 0 where nothing is known to need one), writes its
//    request and reads until this request's final result line ("OK", "ERROR", "+CME ERROR: ...")
//    has arrived whole, its line end included. It gives up after AnswerTimeoutMs: the row's fixed
//    pause after the write is the least it waits, kAnswerCeilingMs what it waits for a module
//    that answers late; the larger of the two wins. Every wait runs on platform::Clock.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace atlink {

enum class Pacing {
    Fixed,
    Answer,
};

// How long an answer-paced transaction waits for a module that answers late.
inline constexpr std::uint32_t kAnswerCeilingMs = 5000;
// The most an answer-paced transaction gathers of one answer; the longest answer of the command
// table (the context list) stays far below it.
inline constexpr std::size_t kMaxAnswerBytes = 8192;

// The time an answer-paced transaction waits for its final result line.
inline constexpr std::uint32_t AnswerTimeoutMs(std::uint32_t fixedPauseMs) {
    return std::max(fixedPauseMs, kAnswerCeilingMs);
}

// "fixed" and "answer", as the command line spells them.
inline constexpr std::string_view PacingName(Pacing pacing) {
    return pacing == Pacing::Answer ? "answer" : "fixed";
}
inline std::optional<Pacing> PacingNamed(std::string_view name) {
    if (name == "fixed") {
        return Pacing::Fixed;
    }
    if (name == "answer") {
        return Pacing::Answer;
    }
    return std::nullopt;
}

}  // namespace atlink
