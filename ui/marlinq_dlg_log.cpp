// The log pane: AddLog from any thread, carried to the window thread in call order.
#include "ui/marlinq_dlg.h"

#include "atlink/at_log.h"

namespace marlinq {

namespace {
// Private message: append what is waiting to the pane.
constexpr fw::UINT WM_FLUSHLOG = fw::WM_USER + 201;
}  // namespace

void CMarlinqDlg::AddLog(const std::string& text) {
    bool post = false;
    {
        // The lock orders the lines of all threads; each line is appended whole.
        std::lock_guard lock(m_logMutex);
        m_pendingLog += text;
        m_pendingLog += "\r\n";
        if (!Thread().IsWindowThread() && !m_logFlushPosted) {
            m_logFlushPosted = true;
            post = true;
        }
    }
    if (Thread().IsWindowThread()) {
        FlushLog();
    } else if (post) {
        fw::CWindowThread& thread = Thread();
        thread.PostTask(GetSafeHwnd(), [this](fw::CDialog* target) {
            if (target == this) {
                FlushLog();
            }
        });
    }
}

std::function<void(const std::string&)> CMarlinqDlg::LogSink() {
    return [this](const std::string& text) { AddLog(text); };
}

void CMarlinqDlg::AddLogFromWorker(const fw::CWorkerThread& worker, const std::string& text) {
    if (worker.IsAborted()) {
        return;
    }
    AddLog(text);
}

void CMarlinqDlg::ReportTrafficLogProblem() {
    const std::string path = atlink::AtLogDirectory() + atlink::kAtLogFileName;
    const std::string reason = atlink::AtLogRefusal(path);
    if (!reason.empty()) {
        AddLog(atlink::AtLogRefusedLine(path, reason));
    }
}

void CMarlinqDlg::FlushLog() {
    std::string chunk;
    {
        std::lock_guard lock(m_logMutex);
        m_logFlushPosted = false;
        chunk.swap(m_pendingLog);
    }
    if (chunk.empty()) {
        return;
    }
    m_strLog += chunk;
    // The pane shows m_strLog; appending at the end gives the same text without copying it all.
    m_editLog.SetSel(-1, -1);
    m_editLog.ReplaceSel(chunk);
    m_editLog.LineScroll(m_editLog.GetLineCount());
}

}  // namespace marlinq
