// Device-change notices on Windows: WM_DEVICECHANGE on a hidden top-level window of the monitor's
// own thread (port notices are broadcast to top-level windows only; interface notices come from a
// registration for all interface classes), and a look at the virtual device files twice a second.
// Without a desktop (no window can be made) only the virtual device files are watched.
#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/device_change.h"
#include "platform/virtual_device_changes.h"

namespace platform {

namespace {

constexpr DWORD kVirtualDeviceLookMs = 500;
constexpr std::size_t kMaxPortName = 9;  // a port name is held in a 10-byte buffer
const char kWindowClass[] = "MarlinqDeviceChangeMonitor";

}  // namespace

struct DeviceChangeMonitor::Impl {
    Callback callback;
    VirtualDeviceChanges virtualDevices;
    std::thread thread;
    HANDLE stop = nullptr;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Impl*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_DEVICECHANGE) {
            self->OnDeviceChange(static_cast<unsigned>(wParam),
                                 reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
            return TRUE;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    void OnDeviceChange(unsigned event, const DEV_BROADCAST_HDR* header) {
        if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || header == nullptr) {
            return;
        }
        const unsigned code = event == DBT_DEVICEARRIVAL ? kDeviceArrival : kDeviceRemoveComplete;
        if (header->dbch_devicetype == DBT_DEVTYP_PORT && header->dbch_size > sizeof(DEV_BROADCAST_HDR)) {
            const auto* port = reinterpret_cast<const DEV_BROADCAST_PORT_A*>(header);
            const std::size_t room = header->dbch_size - offsetof(DEV_BROADCAST_PORT_A, dbcp_name);
            const std::size_t length = strnlen(port->dbcp_name, std::min(room, kMaxPortName));
            callback({code, kDevTypePort, std::string(port->dbcp_name, length)});
        } else if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
            callback({code, kDevTypeInterface, {}});
        }
    }

    HWND CreateNoticeWindow() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = WindowProc;
        cls.hInstance = ::GetModuleHandleA(nullptr);
        cls.lpszClassName = kWindowClass;
        ::RegisterClassA(&cls);  // fails harmlessly when a monitor registered it before
        HWND window = ::CreateWindowExA(0, kWindowClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                        cls.hInstance, nullptr);
        if (window != nullptr) {
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
        return window;
    }

    void Run() {
        HWND window = CreateNoticeWindow();
        HDEVNOTIFY interfaces = nullptr;
        if (window != nullptr) {
            DEV_BROADCAST_DEVICEINTERFACE_A filter{};
            filter.dbcc_size = sizeof filter;
            filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
            interfaces = ::RegisterDeviceNotificationA(
                window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
        }
        ULONGLONG nextLook = ::GetTickCount64() + kVirtualDeviceLookMs;
        for (;;) {
            const ULONGLONG now = ::GetTickCount64();
            const DWORD wait = now >= nextLook ? 0 : static_cast<DWORD>(nextLook - now);
            const DWORD woken = ::MsgWaitForMultipleObjects(1, &stop, FALSE, wait, QS_ALLINPUT);
            if (woken == WAIT_OBJECT_0) {
                break;
            }
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (::GetTickCount64() >= nextLook) {
                virtualDevices.Report(callback);
                nextLook = ::GetTickCount64() + kVirtualDeviceLookMs;
            }
        }
        if (interfaces != nullptr) {
            ::UnregisterDeviceNotification(interfaces);
        }
        if (window != nullptr) {
            ::DestroyWindow(window);
        }
    }

    ~Impl() {
        if (stop != nullptr) {
            ::CloseHandle(stop);
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
    impl->stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (impl->stop == nullptr) {
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
    ::SetEvent(m_impl->stop);
    if (m_impl->thread.joinable()) {
        m_impl->thread.join();
    }
    m_impl.reset();
}

}  // namespace platform
