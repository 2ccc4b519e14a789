#include "ui/log_pane.h"

#include "atlink/at_log.h"
#include "framework/window_thread.h"

namespace marlinq {

void CLogPane::AddLog(const std::string& text) {
    fw::CWindowThread& thread = m_owner.Thread();
    const bool onWindowThread = thread.IsWindowThread();
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        m_pending += text;
        m_pending += "\r\n";
        if (!onWindowThread && !m_flushPosted) {
            m_flushPosted = true;
            post = true;
        }
    }
    if (onWindowThread) {
        Flush();
    } else if (post) {
        fw::CDialog* owner = &m_owner;
        thread.PostTask(m_owner.GetSafeHwnd(), [this, owner](fw::CDialog* target) {
            if (target == owner) {
                Flush();
            }
        });
    }
}

void CLogPane::ReportTrafficLogProblem() {
    const std::string path = atlink::AtLogDirectory() + atlink::kAtLogFileName;
    const std::string reason = atlink::AtLogRefusal(path);
    if (!reason.empty()) {
        AddLog(atlink::AtLogRefusedLine(path, reason));
    }
}

void CLogPane::Flush() {
    std::string chunk;
    {
        std::lock_guard lock(m_mutex);
        m_flushPosted = false;
        chunk.swap(m_pending);
    }
    if (chunk.empty()) {
        return;
    }
    m_text += chunk;
    // The pane shows m_text; appending at the end gives the same text without copying it all.
    m_edit.SetSel(-1, -1);
    m_edit.ReplaceSel(chunk);
    m_edit.LineScroll(m_edit.GetLineCount());
}

}  // namespace marlinq
