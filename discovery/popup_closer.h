// The pop-up closer: a background thread that closes the system pop-ups titled "Microsoft Windows"
// for as long as the tool runs.
//
// Each round looks for such a window and has it closed; between rounds the thread waits a short
// time (ended at once by Stop), so that it does not keep a processor busy.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "atlink/win_types.h"

namespace discovery {

inline constexpr char kSystemPopupTitle[] = "Microsoft Windows";
// Pause between two rounds.
inline constexpr std::uint32_t kPopupRoundPauseMs = 100;

class PopupCloser {
  public:
    // closeOnce is one round: true when it found a pop-up. Empty: the platform's closer where the
    // platform has such pop-ups; on the others the closer never starts a thread.
    PopupCloser(std::function<bool()> closeOnce, std::atomic<atlink::BOOL>& stopThreads);
    ~PopupCloser();
    PopupCloser(const PopupCloser&) = delete;
    PopupCloser& operator=(const PopupCloser&) = delete;

    // Starts the thread once; later calls do nothing.
    void Start();
    // Wakes the thread so that it sees the stop flag (set by the caller) and joins it.
    void Stop();

    bool Started() const { return m_thread.joinable(); }
    // Rounds made so far, and the ones that found a pop-up.
    int Rounds() const { return m_rounds.load(); }
    int Closed() const { return m_closed.load(); }

  private:
    void PopupCloserThreadProc();

    std::function<bool()> m_closeOnce;
    std::atomic<atlink::BOOL>& m_stop;
    std::atomic<int> m_rounds{0};
    std::atomic<int> m_closed{0};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::thread m_thread;
};

}  // namespace discovery
