#include "drive_lookup.h"

namespace tarnwick {

std::optional<char> FindMassStorageDrive(ScsiTransport& transport, std::string_view vendor,
                                         std::string_view product) {
    for (const DriveInfo& drive : transport.ListRemovableDrives()) {
        if (!drive.vendor || !drive.product) {
            continue;
        }
        if (drive.vendor->find(vendor) != std::string::npos &&
            drive.product->find(product) != std::string::npos) {
            return drive.letter;
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick
