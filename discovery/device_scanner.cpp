#include "discovery/device_scanner.h"

#include "discovery/at_port.h"
#include "discovery/device_presence.h"
#include "platform/clock.h"

namespace discovery {

using atlink::BOOL;
using atlink::FALSE;
using atlink::TRUE;

DeviceScanner::DeviceScanner(ScannerCallbacks callbacks, ScannerFlags flags)
    : m_cb(std::move(callbacks)),
      m_flags(flags),
      m_popupCloser(std::move(m_cb.closePopup), flags.stopThreads) {
    // Missing callbacks do nothing rather than fault on the scanner thread.
    if (!m_cb.addLog) {
        m_cb.addLog = [](const std::string&) {};
    }
    if (!m_cb.onEvent) {
        m_cb.onEvent = [](DeviceEvent) {};
    }
    if (!m_cb.isModulePresent) {
        m_cb.isModulePresent = [] { return IsModulePresent(); };
    }
    if (!m_cb.findAtPort) {
        m_cb.findAtPort = [] { return FindAtPortNumber(); };
    }
}

DeviceScanner::~DeviceScanner() {
    Stop();
}

void DeviceScanner::StartScanThreads() {
    if (m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStartSignalled = false;
    }
    m_thread = std::thread([this] { ScanThreadProc(); });
    m_popupCloser.Start();  // starts no thread where the platform has no such pop-ups
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStartSignalled = true;
    }
    m_cv.notify_all();
}

void DeviceScanner::ScanThreadProc() {
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&] { return m_bStartSignalled || m_flags.stopThreads.load(); });
    }
    while (!m_flags.stopThreads.load()) {
        {
            // A notice that arrives from here on ends the pause after this pass.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bChangeNoticed = false;
        }
        const BOOL wait = ScanOnce();
        std::unique_lock<std::mutex> lock(m_mutex);
        if (wait) {
            m_bWaiting = true;
            m_bWoken = false;
            m_cv.wait(lock, [&] { return m_bWoken || m_flags.stopThreads.load(); });
            m_bWaiting = false;
        } else {
            m_cv.wait_for(lock, platform::Clock::Scaled(kAbsentPassPauseMs),
                          [&] { return m_bChangeNoticed || m_flags.stopThreads.load(); });
        }
    }
}

BOOL DeviceScanner::ScanOnce() {
    if (!m_cb.isModulePresent()) {
        if (!m_flags.notReadyLogged.load()) {
            m_cb.addLog("Equipment is not ready!");
            m_cb.onEvent(DeviceEvent::NotReady);
            m_flags.notReadyLogged.store(TRUE);
        }
        return FALSE;
    }
    if (m_flags.pendingPush.exchange(FALSE)) {
        m_cb.onEvent(DeviceEvent::PushPending);
        return TRUE;
    }
    const int com = m_cb.findAtPort();
    m_cb.addLog("Equipment ready [AT:COM" + std::to_string(com) + "] for operation!");
    if (m_cb.readVersions) {
        m_cb.readVersions();
    }
    m_cb.onEvent(DeviceEvent::Ready);
    return TRUE;
}

void DeviceScanner::Wake() {
    m_flags.notReadyLogged.store(FALSE);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bWaiting) {  // a wake counts only while the scanner waits for one
        m_bWoken = true;
        m_cv.notify_all();
    }
}

bool DeviceScanner::IsWaitingForWake() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bWaiting;
}

void DeviceScanner::NotifyDeviceChange() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bChangeNoticed = true;
    m_cv.notify_all();
}

void DeviceScanner::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_flags.stopThreads.store(TRUE);
        m_cv.notify_all();
    }
    // From the scanner's own thread (a callback) only the flag is set; the owner joins later.
    m_popupCloser.Stop();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) {
        m_thread.join();
    }
}

}  // namespace discovery
