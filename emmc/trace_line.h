// The debug line written before each command: the CDB length and the CDB bytes in hex.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "scsi_transport.h"

namespace tarnwick {

// "Length=10,SCSICommand:0x28000000000000000800" for a 6, 10 or 12 byte CDB; empty otherwise.
std::string FormatCommandTrace(std::span<const std::uint8_t> cdb);

// The line written when a command fails, with the status and the sense key and codes when the
// sense data carries them.
std::string FormatFailureTrace(const ScsiResult& result, std::span<const std::uint8_t> sense);

}  // namespace tarnwick
