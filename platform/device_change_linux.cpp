// Device-change notices on Linux: a udev monitor for USB ttys and USB interfaces, and inotify on
// the virtual device directory (created when missing, watched again when it is removed).
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/device_change.h"
#include "platform/device_table.h"
#include "platform/udev_mapping.h"
#include "platform/virtual_device_changes.h"
#include "platform/virtual_devices.h"

namespace platform {

namespace {

std::string Text(const char* value) {
    return value != nullptr ? std::string(value, strnlen(value, kMaxUdevText + 1)) : std::string();
}

}  // namespace

struct DeviceChangeMonitor::Impl {
    Callback callback;
    udev* u = nullptr;
    udev_monitor* monitor = nullptr;
    int inotifyFd = -1;
    int watch = -1;
    int stopFd = -1;
    std::string directory;
    VirtualDeviceChanges virtualDevices;
    std::thread thread;

    ~Impl() {
        if (monitor != nullptr) {
            udev_monitor_unref(monitor);
        }
        if (u != nullptr) {
            udev_unref(u);
        }
        for (int fd : {inotifyFd, stopFd}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }

    void OpenUdev() {
        u = udev_new();
        if (u == nullptr) {
            return;
        }
        monitor = udev_monitor_new_from_netlink(u, "udev");
        if (monitor == nullptr) {
            return;
        }
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr);
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_interface");
        if (udev_monitor_enable_receiving(monitor) < 0) {
            udev_monitor_unref(monitor);
            monitor = nullptr;
        }
    }

    void Watch() {
        directory = VirtualDeviceDirectory();  // made again, privately, when it was removed
        watch = inotify_add_watch(inotifyFd, directory.c_str(),
                                  IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                      IN_DELETE_SELF | IN_MOVE_SELF | IN_ATTRIB);
    }

    void DrainInotify() {
        alignas(inotify_event) char buffer[4096];
        bool lostWatch = false;
        for (;;) {
            const ssize_t n = read(inotifyFd, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
                if (ev->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                    lostWatch = true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            }
        }
        if (lostWatch) {
            if (watch >= 0) {
                inotify_rm_watch(inotifyFd, watch);
            }
            Watch();
        }
        virtualDevices.Report(callback);
    }

    void ReceiveUdev() {
        udev_device* dev = udev_monitor_receive_device(monitor);
        if (dev == nullptr) {
            return;
        }
        const std::string action = Text(udev_device_get_action(dev));
        const unsigned event = action == "add"      ? kDeviceArrival
                               : action == "remove" ? kDeviceRemoveComplete
                                                    : 0;
        const std::string subsystem = Text(udev_device_get_subsystem(dev));
        if (event != 0 && subsystem == "tty") {
            std::string node = Text(udev_device_get_devnode(dev));
            if (node.empty()) {
                node = "/dev/" + Text(udev_device_get_sysname(dev));
            }
            if (const int com = ComForDeviceNode(node); com > 0) {
                callback({event, kDevTypePort, "COM" + std::to_string(com)});
            }
        } else if (event != 0 && subsystem == "usb") {
            callback({event, kDevTypeInterface, {}});
        }
        udev_device_unref(dev);
    }

    void Run() {
        for (;;) {
            pollfd fds[3] = {{stopFd, POLLIN, 0}, {inotifyFd, POLLIN, 0}, {-1, POLLIN, 0}};
            if (monitor != nullptr) {
                fds[2].fd = udev_monitor_get_fd(monitor);
            }
            if (poll(fds, 3, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[0].revents != 0) {
                return;
            }
            if (fds[1].revents != 0) {
                DrainInotify();
            }
            if (fds[2].revents != 0) {
                ReceiveUdev();
            }
        }
    }
};

DeviceChangeMonitor::DeviceChangeMonitor() = default;

DeviceChangeMonitor::~DeviceChangeMonitor() {
    Stop();
}

bool DeviceChangeMonitor::Start(Callback callback) {
    if (m_impl || !callback) {
        return false;
    }
    auto impl = std::make_unique<Impl>();
    impl->callback = std::move(callback);
    impl->stopFd = eventfd(0, EFD_CLOEXEC);
    impl->inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (impl->stopFd < 0) {
        return false;
    }
    if (impl->inotifyFd >= 0) {
        impl->Watch();
    }
    impl->OpenUdev();
    if (impl->watch < 0 && impl->monitor == nullptr) {
        return false;
    }
    // The devices present at the start are not announced; later changes are.
    impl->virtualDevices.Reset();
    Impl* raw = impl.get();
    impl->thread = std::thread([raw] { raw->Run(); });
    m_impl = std::move(impl);
    return true;
}

void DeviceChangeMonitor::Stop() {
    if (!m_impl) {
        return;
    }
    const std::uint64_t one = 1;
    if (write(m_impl->stopFd, &one, sizeof one) < 0) {
        // An eventfd write fails only on overflow, which one write cannot reach.
    }
    if (m_impl->thread.joinable()) {
        m_impl->thread.join();
    }
    m_impl.reset();
}

}  // namespace platform
