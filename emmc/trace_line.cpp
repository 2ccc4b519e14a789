#include "trace_line.h"

#include <algorithm>
#include <cstdio>

#include "sense.h"

namespace tarnwick {

std::string FormatCommandTrace(std::span<const std::uint8_t> cdb) {
    if (cdb.size() != 6 && cdb.size() != 10 && cdb.size() != 12) {
        return {};
    }
    char text[64];
    int used = std::snprintf(text, sizeof text, "Length=%d,SCSICommand:0x", static_cast<int>(cdb.size()));
    for (std::uint8_t byte : cdb) {
        used += std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used), "%02x", byte);
    }
    return std::string(text, static_cast<std::size_t>(used));
}

std::string FormatFailureTrace(const ScsiResult& result, std::span<const std::uint8_t> sense) {
    char text[96];
    if (result.outcome == ScsiOutcome::kTransportFailed) {
        std::snprintf(text, sizeof text, "SCSI transport failed");
    } else if (auto summary = DecodeSense(sense.first(std::min(result.senseLength, sense.size())))) {
        std::snprintf(text, sizeof text, "SCSIStatus=0x%02x,SenseKey=0x%x,ASC=0x%02x,ASCQ=0x%02x",
                      result.status, summary->key, summary->asc, summary->ascq);
    } else {
        std::snprintf(text, sizeof text, "SCSIStatus=0x%02x", result.status);
    }
    return text;
}

}  // namespace tarnwick
