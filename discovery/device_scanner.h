// The device scanner: a background thread that watches for the module, announces its AT port and
// reads its versions, or says once that it is not there.
//
// The main window owns one DeviceScanner and the flags it shares with other flows. Everything
// the scanner does to the window goes through the callbacks: log lines through addLog, and what
// it found through onEvent (ready, not ready, push pending), both called on the scanner thread.
// The window decides what an event does to its controls.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "atlink/win_types.h"
#include "discovery/device_events.h"
#include "discovery/popup_closer.h"

namespace discovery {

// Longest pause between two passes that found no module; a device-change notice ends it sooner.
inline constexpr std::uint32_t kAbsentPassPauseMs = 100;

struct ScannerCallbacks {
    std::function<void(const std::string&)> addLog;  // any thread
    DeviceEventSink onEvent;                         // NotReady, Ready, PushPending
    std::function<void()> readVersions;              // scanner thread; may be empty
    std::function<bool()> isModulePresent;           // empty: the port-interface table
    std::function<int()> findAtPort;                 // empty: FindAtPortNumber
    std::function<bool()> closePopup;                // pop-up closer round; empty: the platform's
};

// The flags the main window owns and shares with other flows; each is a single word.
struct ScannerFlags {
    std::atomic<atlink::BOOL>& pendingPush;  // m_bPendingPush
    std::atomic<atlink::BOOL>& stopThreads;  // m_bStopThreads
    std::atomic<atlink::BOOL>&
        notReadyLogged;  // m_bNotReadyLogged: the not-ready line of this episode is out
};

class DeviceScanner {
  public:
    DeviceScanner(ScannerCallbacks callbacks, ScannerFlags flags);
    // Stops and joins the thread. The owner stops the scanner before the window goes away.
    ~DeviceScanner();
    DeviceScanner(const DeviceScanner&) = delete;
    DeviceScanner& operator=(const DeviceScanner&) = delete;

    // Starts the scanner thread and the pop-up closer once; later calls do nothing. Window thread.
    void StartScanThreads();
    // The scanner's part of a restart: the next absent pass logs again, and a waiting scanner
    // passes again. Any thread.
    void Wake();
    // A device-change notice: ends the pause after an absent pass at once. Any thread.
    void NotifyDeviceChange();
    // Sets the stop flag, wakes both threads and joins them. Safe to call twice; from the
    // scanner's own callbacks it only sets the flag (and joins the closer).
    void Stop();

    // One pass: TRUE when the scanner is to wait for a wake, FALSE to pass again.
    atlink::BOOL ScanOnce();

    bool Started() const { return m_thread.joinable(); }
    const PopupCloser& Closer() const { return m_popupCloser; }
    // True while the scanner waits for a wake, the only time OnBtnScanPort restarts it.
    bool IsWaitingForWake() const;
    bool NotReadyLogged() const { return m_flags.notReadyLogged.load(); }

  private:
    void ScanThreadProc();

    ScannerCallbacks m_cb;
    ScannerFlags m_flags;

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bStartSignalled = false;  // the start event
    bool m_bWaiting = false;         // waiting for a wake
    bool m_bWoken = false;
    bool m_bChangeNoticed = false;
    std::thread m_thread;
    PopupCloser m_popupCloser;  // declared after m_cb, whose closePopup it takes
};

}  // namespace discovery
