// While this object lives, a termination request (SIGTERM, SIGINT, SIGHUP, the end of the session)
// closes the host's main window the way its close box does and waits until the window is gone,
// so the exit path (which saves the configuration) runs before the process ends.
#pragma once

#include <memory>

#include "ui/app_host.h"

namespace marlinq {

class CCloseOnTermination {
  public:
    explicit CCloseOnTermination(CAppHost& host);
    // Waits for a close that a request has started, then stops answering requests.
    ~CCloseOnTermination();
    CCloseOnTermination(const CCloseOnTermination&) = delete;
    CCloseOnTermination& operator=(const CCloseOnTermination&) = delete;

    struct Shared;

  private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace marlinq
