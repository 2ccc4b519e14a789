// An AT client over the fixture's simulator: its hand-opened port, its automatic flag, a lookup
// that finds the module unless told otherwise (and counts its calls), and a log the test reads.
#pragma once

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "atlink/at_client.h"
#include "tests/support/sim_fixture.h"

namespace testsupport {

class AtClientOverSimulator : public SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        m_found = Com();
    }
    void TearDown() override {
        m_client.reset();
        m_manual.ClosePort();
        SimulatorTest::TearDown();
    }

    atlink::AtClient& Client() {
        if (!m_client) {
            m_client =
                std::make_unique<atlink::AtClient>(atlink::AtClientDeps{m_manual, m_autoPort,
                                                                        [this] {
                                                                            ++m_lookups;
                                                                            return m_found.load();
                                                                        },
                                                                        [this](const std::string& line) {
                                                                            std::lock_guard lock(m_logMutex);
                                                                            m_log.push_back(line);
                                                                        }});
        }
        return *m_client;
    }
    int Count(const std::string& line) {
        std::lock_guard lock(m_logMutex);
        return static_cast<int>(std::count(m_log.begin(), m_log.end(), line));
    }
    std::vector<std::string> Log() {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }
    std::vector<std::string> TakeLog() {
        std::lock_guard lock(m_logMutex);
        return std::exchange(m_log, {});
    }

    atlink::CSerialPort m_manual;
    std::atomic<atlink::BOOL> m_autoPort{atlink::TRUE};
    std::atomic<int> m_found{0};
    std::atomic<int> m_lookups{0};
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
    std::unique_ptr<atlink::AtClient> m_client;
};

}  // namespace testsupport
