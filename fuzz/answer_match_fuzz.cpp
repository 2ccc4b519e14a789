// Matching arbitrary read texts to arbitrary requests: the first byte is the number of answers
// owed, the text up to the first LF the request, the rest what was read (at most 50 reads).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "atlink/answer_match.h"
#include "fuzz/fuzz_check.h"

using fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int owed = data[0] % 10;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t lf = rest.find('\n');
    const std::string_view request = rest.substr(0, lf == std::string_view::npos ? rest.size() : lf + 1);
    std::string_view text = rest.substr(request.size());
    if (text.size() > 50 * 200) {
        text = text.substr(0, 50 * 200);
    }
    const atlink::MatchedAnswer m = atlink::MatchAnswer(request, text, owed);
    // Nothing is made up: the answer and what was taken out come from the text.
    Check(m.answer.size() + m.discarded.size() <= text.size());
    Check(m.owedLeft >= 0 && m.owedLeft <= owed);
    Check(!m.lineEnded || m.final);
    Check(m.final || m.answer.size() + m.discarded.size() == text.size());
    Check(atlink::CountFinalResults(text) >= (m.final ? 1 : 0));
    Check(atlink::RequestCommand(request).size() <= request.size());
    return 0;
}
