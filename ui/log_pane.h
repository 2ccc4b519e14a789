// CLogPane: the main window's log. AddLog may be called from any thread: the lock orders the lines
// of all threads and each is appended whole; the pane itself changes on the window thread only,
// at once there and through one queued flush from any other thread.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "framework/control.h"
#include "framework/dialog.h"

namespace marlinq {

class CLogPane {
  public:
    using LogSink = std::function<void(const std::string&)>;

    // owner: the window whose thread shows the pane; edit: the pane's control.
    CLogPane(fw::CDialog& owner, fw::CEdit& edit) : m_owner(owner), m_edit(edit) {}
    CLogPane(const CLogPane&) = delete;
    CLogPane& operator=(const CLogPane&) = delete;

    // Appends text and CR LF and scrolls to the end. Any thread.
    void AddLog(const std::string& text);
    // AddLog as a function for the subsystems.
    LogSink Sink() {
        return [this](const std::string& text) { AddLog(text); };
    }
    // Everything logged so far. Window thread.
    const std::string& Text() const { return m_text; }

    // Logs that the traffic log cannot be written, when its file is there but not a regular file.
    void ReportTrafficLogProblem();

  private:
    void Flush();

    fw::CDialog& m_owner;
    fw::CEdit& m_edit;
    std::string m_text;  // window thread
    std::mutex m_mutex;
    std::string m_pending;
    bool m_flushPosted = false;
};

}  // namespace marlinq
