#include "cli/console_view.h"

#include "framework/display_text.h"

#include "ui/resource.h"

namespace marlinq::cli {

void CConsoleView::OnDialogDestroyed(fw::HWND) {
    Wake();  // the host learns of the main window's end first: it watches the thread from its start
}

void CConsoleView::Wake() {
    std::lock_guard lock(m_mutex);
    m_cv.notify_all();
}

void CConsoleView::OnControlChanged(const fw::ControlChange& change) {
    if (change.id != IDC_EDIT_LOG || change.what != fw::ControlChange::What::TextAppended) {
        return;
    }
    if (change.hwnd == 0 || change.hwnd != m_mainWindow()) {
        return;
    }
    // The pane's lines end in CR LF; the console's in LF. A line is printed once it is complete.
    m_partial += change.text;
    std::string out;
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = m_partial.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.emplace_back(m_partial, start, end - start);
        out += lines.back();
        out += '\n';
    }
    m_partial.erase(0, start);
    Write(out);
    {
        std::lock_guard lock(m_mutex);
        m_lines.insert(m_lines.end(), lines.begin(), lines.end());
    }
    m_cv.notify_all();
}

std::vector<std::string> CConsoleView::Lines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

int CConsoleView::WaitForLine(std::size_t from, const std::function<bool(const std::string&)>& pred,
                              std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    int found = -1;
    m_cv.wait_for(lock, timeout, [&] {
        for (std::size_t i = from; i < m_lines.size(); ++i) {
            if (pred(m_lines[i])) {
                found = static_cast<int>(i);
                return true;
            }
        }
        return m_ended();
    });
    return found;
}

int CConsoleView::MessageBox(fw::HWND, const std::string& text, const std::string& caption, fw::UINT type) {
    Write("[" + fw::DrawnText(caption) + "] " + text + "\n");
    return (type & 0xF) == fw::MB_YESNO ? fw::IDYES : fw::IDOK;
}

std::string CConsoleView::FileDialog(fw::HWND, const fw::FileDialogRequest& request) {
    Write("[" + request.title + "] no file chosen on the console\n");
    return {};
}

void CConsoleView::Write(const std::string& text) {
    if (!text.empty()) {
        m_out << text << std::flush;
    }
}

}  // namespace marlinq::cli
