// Cuts values out of arbitrary answers with every prefix and field size the commands use.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "atlink/answer_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    static const char* const kPrefixes[] = {"+DTUCFG: ", "+CNMP: ", "+CGAUTH: ", "+CSUB: ", "+CUSBADB: ", ""};
    static const std::size_t kFields[] = {0, 1, 10, 60, 100, 200, 300};
    for (const char* prefix : kPrefixes) {
        for (std::size_t field : kFields) {
            std::size_t end = 0;
            const auto value = atlink::CutValue(answer, prefix, "\r\n", field, 0, &end);
            if (value && (value->size() > (field ? field - 1 : 0) || end > answer.size())) {
                std::abort();
            }
            if (value) {
                atlink::CutValue(answer, prefix, "\r", field, end);
            }
        }
    }
    atlink::DecimalValue(answer);
    return 0;
}
