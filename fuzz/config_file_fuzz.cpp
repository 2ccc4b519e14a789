// Reads arbitrary bytes as a parameter file. A refused file leaves the values untouched; a read
// one holds valid UTF-8 only, writes back as a document that reads to the same values, and that
// document is a fixed point of writing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "configfile/config_document.h"
#include "configfile/xml_text.h"

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace configfile;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ConfigValues values;
    values[0] = "untouched";
    if (ParseConfigDocument(bytes, &values) != ConfigReadOutcome::kRead) {
        Check(values[0] == "untouched");
        return 0;
    }
    const std::string document = WriteConfigDocument(values);
    ConfigValues again;
    Check(ParseConfigDocument(document, &again) == ConfigReadOutcome::kRead);
    for (std::size_t i = 0; i < values.size(); ++i) {
        Check(IsValidUtf8(values[i]));
        if (ConfigLeaves()[i].fixedValue == nullptr) {
            Check(again[i] == XmlSafeText(values[i]));
        } else {
            Check(values[i].empty());
        }
    }
    Check(WriteConfigDocument(again) == document);
    return 0;
}
