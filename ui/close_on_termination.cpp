#include "ui/close_on_termination.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "platform/termination.h"

namespace marlinq {

namespace {

constexpr auto kCloseWait = std::chrono::seconds(20);

}  // namespace

// Outlives this object when the request's thread still holds it: the host is then gone and a
// late request does nothing.
struct CCloseOnTermination::Shared {
    std::mutex mutex;
    CAppHost* host = nullptr;
};

CCloseOnTermination::CCloseOnTermination(CAppHost& host) : m_shared(std::make_shared<Shared>()) {
    m_shared->host = &host;
    platform::OnTerminationRequest([shared = m_shared] {
        std::lock_guard lock(shared->mutex);
        CAppHost* host = shared->host;
        if (host == nullptr || !host->WaitShown()) {
            return;  // gone, or ended before its window came up
        }
        host->RequestClose();
        const auto deadline = std::chrono::steady_clock::now() + kCloseWait;
        while (!host->Ended() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

CCloseOnTermination::~CCloseOnTermination() {
    platform::OnTerminationRequest({});  // from now on a request ends the process at once
    std::lock_guard lock(m_shared->mutex);
    m_shared->host = nullptr;
}

}  // namespace marlinq
