// Lets a termination request (SIGTERM, SIGINT, the end of the session) close the headless main
// window the normal way, so its exit path runs, for as long as this object lives.
#pragma once

#include <memory>

#include "cli/console_host.h"

namespace marlinq::cli {

class CCloseOnSignal {
  public:
    explicit CCloseOnSignal(CConsoleHost& host);
    // Waits for a close that a request has started, then stops listening.
    ~CCloseOnSignal();
    CCloseOnSignal(const CCloseOnSignal&) = delete;
    CCloseOnSignal& operator=(const CCloseOnSignal&) = delete;

    struct Shared;

  private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace marlinq::cli
