// The shape of one standard AT request/answer cycle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "atlink/at_pacing.h"

namespace atlink {

struct AtCycle {
    std::string request;                // the whole request line, CR LF included
    std::uint32_t pauseBeforeMs = 100;  // after opening, before the write
    std::uint32_t pauseAfterMs = 300;   // after the write, before the single read
    std::size_t answerArea = 200;       // size of the answer area; a read still takes at most 200 bytes
    Pacing pacing = Pacing::Fixed;      // the pauses above, or reads until the answer is whole
    std::uint32_t settleMs = 0;         // answer pacing: the pause before the write
    bool valueInAnswer = false;         // answer pacing: a bare "OK" is not this request's answer
};

}  // namespace atlink
