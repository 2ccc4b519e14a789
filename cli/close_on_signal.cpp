#include "cli/close_on_signal.h"

#include <chrono>
#include <mutex>

#include "platform/termination.h"
#include "ui/close_request.h"

namespace marlinq::cli {

// Outlives the host when the request's thread still holds it: the host is then gone and the
// request does nothing.
struct CCloseOnSignal::Shared {
    std::mutex mutex;
    std::unique_ptr<CCloseRequest> request;
};

CCloseOnSignal::CCloseOnSignal(CConsoleHost& host) : m_shared(std::make_shared<Shared>()) {
    m_shared->request = std::make_unique<CCloseRequest>(host.App().Thread());
    platform::OnTerminationRequest([shared = m_shared] {
        std::lock_guard lock(shared->mutex);
        if (shared->request) {
            shared->request->Request();
            shared->request->WaitClosed(std::chrono::seconds(20));
        }
    });
}

CCloseOnSignal::~CCloseOnSignal() {
    std::lock_guard lock(m_shared->mutex);
    m_shared->request.reset();
}

}  // namespace marlinq::cli
