#include "scsi_linux.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <utility>

#include "debug_channel.h"
#include "device.h"
#include "mounts_linux.h"
#include "sg_status_linux.h"
#include "sysfs_drives_linux.h"

namespace tarnwick {
namespace {

constexpr unsigned int kTimeoutMs = 2000;
constexpr std::streamsize kMaxMountsBytes = 1 << 20;

std::string ReadMountTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(kMaxMountsBytes), '\0');
    in.read(text.data(), kMaxMountsBytes);
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

}  // namespace

LinuxScsiTransport::LinuxScsiTransport(std::string sysBlockDir, std::string devDir, std::string mountsFile)
    : sysBlockDir_(std::move(sysBlockDir)), devDir_(std::move(devDir)), mountsFile_(std::move(mountsFile)) {}

std::vector<DriveInfo> LinuxScsiTransport::ListRemovableDrives() {
    return ListRemovableScsiDisks(sysBlockDir_);
}

DeviceHandle LinuxScsiTransport::Open(char letter) {
    const std::string disk = DiskNameOfLetter(letter);
    if (!IsRemovableDisk(sysBlockDir_, disk)) {
        return kNoDevice;
    }
    const std::string node = devDir_ + "/" + disk;
    int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return kNoDevice;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISBLK(info.st_mode)) {
        ::close(fd);
        return kNoDevice;
    }
    if (fd < 3) {
        // Keep clear of the standard descriptors, which may have been closed by the host program.
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        ::close(fd);
        if (moved < 0) {
            return kNoDevice;
        }
        fd = moved;
    }
    openNodes_[fd] = node;
    return fd;
}

void LinuxScsiTransport::Dismount(DeviceHandle handle) {
    const auto found = openNodes_.find(handle);
    if (found == openNodes_.end()) {
        return;
    }
    for (const std::string& point : MountPointsOfDisk(ReadMountTable(mountsFile_), found->second)) {
        ::umount2(point.c_str(), MNT_DETACH);
    }
}

void LinuxScsiTransport::Close(DeviceHandle handle) {
    openNodes_.erase(handle);
    ::close(static_cast<int>(handle));
}

ScsiResult LinuxScsiTransport::Send(DeviceHandle handle, const ScsiRequest& request) {
    const bool moves = request.data != nullptr && request.dataLength != 0;
    sg_io_hdr_t header{};
    header.interface_id = 'S';
    header.dxfer_direction =
        !moves ? SG_DXFER_NONE
               : (request.direction == DataDirection::kIn ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV);
    header.cmd_len = static_cast<unsigned char>(request.cdb.size());
    header.cmdp = const_cast<unsigned char*>(request.cdb.data());
    header.dxfer_len = moves ? request.dataLength : 0;
    header.dxferp = moves ? request.data : nullptr;
    header.mx_sb_len = static_cast<unsigned char>(std::min<std::size_t>(request.sense.size(), 255));
    header.sbp = request.sense.data();
    header.timeout = kTimeoutMs;
    if (::ioctl(static_cast<int>(handle), SG_IO, &header) != 0) {
        return ScsiResult{};
    }
    return ClassifySgCompletion(header.status, header.host_status, header.driver_status, header.sb_len_wr,
                                request.sense.size());
}

void LinuxScsiTransport::Trace(const char* line) {
    WriteDebugLine(line);
}

ScsiTransport& PlatformTransport() {
    static LinuxScsiTransport transport;
    return transport;
}

}  // namespace tarnwick
