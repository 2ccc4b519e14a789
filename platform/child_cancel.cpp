#include "platform/child_process.h"

namespace platform {

void ChildCancel::Cancel() {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_hook) {
        m_hook();
    }
}

bool ChildCancel::Cancelled() const {
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

bool ChildCancel::Attach(std::function<void()> hook) {
    std::lock_guard lock(m_mutex);
    if (m_cancelled) {
        return false;
    }
    m_hook = std::move(hook);
    return true;
}

void ChildCancel::Detach() {
    std::lock_guard lock(m_mutex);
    m_hook = nullptr;
}

}  // namespace platform
