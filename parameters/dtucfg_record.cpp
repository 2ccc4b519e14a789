#include "parameters/dtucfg_record.h"

namespace parameters {

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string CutToField(std::string_view text, std::size_t width) {
    if (width == 0) {
        return {};
    }
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    const std::size_t room = width - 1;
    if (text.size() <= room) {
        return std::string(text);
    }
    // text[room] is the first byte that does not fit; when it continues a character, that
    // character's lead byte and the bytes after it go as well.
    std::size_t cut = room;
    while (cut > 0 && IsContinuationByte(text[cut])) {
        --cut;
    }
    return std::string(text.substr(0, cut));
}

void DtuCfgRecord::Set(RecordField field, std::string_view value) {
    const auto i = static_cast<std::size_t>(field);
    m_fields[i] = CutToField(value, kRecordWidths[i]);
}

}  // namespace parameters
