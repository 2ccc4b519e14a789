#include "cli/console_view.h"

#include "framework/display_text.h"

#include "ui/resource.h"

namespace marlinq::cli {

void CConsoleView::OnDialogCreated(const fw::DialogInfo& info) {
    std::lock_guard lock(m_mutex);
    if (info.parent == 0 && m_main == 0) {
        m_main = info.hwnd;
    } else if (info.child && info.parent == m_main) {
        m_pages[info.hostIndex] = info.hwnd;
    }
}

void CConsoleView::OnDialogShown(fw::HWND hwnd, bool visible) {
    std::lock_guard lock(m_mutex);
    if (hwnd == m_main && visible) {
        m_shown = true;
        m_cv.notify_all();
    }
}

void CConsoleView::OnDialogDestroyed(fw::HWND hwnd) {
    std::lock_guard lock(m_mutex);
    if (hwnd == m_main) {
        m_ended = true;
        m_cv.notify_all();
    }
}

void CConsoleView::OnControlChanged(const fw::ControlChange& change) {
    if (change.id != IDC_EDIT_LOG || change.what != fw::ControlChange::What::TextAppended) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        if (change.hwnd != m_main) {
            return;
        }
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
        return m_ended;
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

bool CConsoleView::WaitShown() {
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_shown || m_ended; });
    return m_shown && !m_ended;
}

bool CConsoleView::Ended() {
    std::lock_guard lock(m_mutex);
    return m_ended;
}

fw::HWND CConsoleView::MainWindow() {
    std::lock_guard lock(m_mutex);
    return m_main;
}

fw::HWND CConsoleView::Page(int index) {
    std::lock_guard lock(m_mutex);
    const auto it = m_pages.find(index);
    return it == m_pages.end() ? 0 : it->second;
}

void CConsoleView::Write(const std::string& text) {
    if (!text.empty()) {
        m_out << text << std::flush;
    }
}

}  // namespace marlinq::cli
