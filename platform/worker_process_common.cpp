#include <algorithm>

#include "platform/worker_process.h"

namespace platform {

bool WorkerProcess::ReadLine(std::string* line) {
    for (;;) {
        const auto end = m_pending.find('\n');
        if (m_cutting) {
            // The rest of a line that was cut: dropped up to its end.
            m_pending.erase(0, end == std::string::npos ? m_pending.size() : end + 1);
            m_cutting = end == std::string::npos;
            if (!m_cutting) {
                continue;
            }
        } else if (end != std::string::npos) {
            *line = m_pending.substr(0, std::min(end, kWorkerLineLimit));
            m_pending.erase(0, end + 1);
            if (!line->empty() && line->back() == '\r') {
                line->pop_back();
            }
            return true;
        } else if (m_pending.size() >= kWorkerLineLimit) {
            *line = m_pending.substr(0, kWorkerLineLimit);
            m_pending.clear();
            m_cutting = true;
            return true;
        } else if (m_ended) {
            *line = m_pending;  // a last line without its end
            m_pending.clear();
            return !line->empty();
        }
        if (m_ended) {
            return false;
        }
        char buffer[4096];
        const std::size_t n = ReadSome(buffer, sizeof buffer);
        if (n == 0) {
            m_ended = true;
        } else {
            m_pending.append(buffer, n);
        }
    }
}

}  // namespace platform
