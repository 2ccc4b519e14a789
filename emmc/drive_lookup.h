// Finding a removable drive by the vendor and product strings it reports.
#pragma once

#include <optional>
#include <string_view>

#include "scsi_transport.h"

namespace tarnwick {

inline constexpr std::string_view kEmmcVendor = "Qualcomm";
inline constexpr std::string_view kEmmcProduct = "MMC Storage";

// The letter of the first drive, in letter order, that reports both strings and whose vendor
// string contains `vendor` and product string contains `product` (case-sensitive).
std::optional<char> FindMassStorageDrive(ScsiTransport& transport, std::string_view vendor,
                                         std::string_view product);

}  // namespace tarnwick
