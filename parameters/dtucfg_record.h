// DtuCfgRecord: the thirteen bounded text fields of the DTU configuration that the TCP/UDP page
// shows. A field keeps at most its width minus one bytes; a longer value is cut at a character
// boundary (UTF-8), never inside a multi-byte character, and at an embedded NUL.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace parameters {

enum class RecordField {
    IPAddr,
    Port,
    SockType,
    RegisterEnable,
    RegisterText,
    BeatInterval,
    BeatText,
    TriggerTime,
    TriggerLength,
    CloudEnable,
    UrcEnable,
    NetReceive,
    ResetTime,  // minutes x 12, as the module reports it
};
inline constexpr std::size_t kRecordFieldCount = 13;

// Width of each field including its terminating NUL.
inline constexpr std::array<std::size_t, kRecordFieldCount> kRecordWidths = {50, 10, 10, 5,  100, 10, 100,
                                                                             10, 10, 10, 10, 10,  10};

// The longest prefix of text that fits a field of width bytes (width - 1 bytes of text), ends
// before any NUL and does not end inside a UTF-8 sequence.
std::string CutToField(std::string_view text, std::size_t width);

class DtuCfgRecord {
  public:
    void Set(RecordField field, std::string_view value);
    const std::string& Get(RecordField field) const { return m_fields[static_cast<std::size_t>(field)]; }

  private:
    std::array<std::string, kRecordFieldCount> m_fields;
};

}  // namespace parameters
