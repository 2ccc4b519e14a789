// The Reset DTU worker's wait under answer pacing: it ends once the AT port has gone and come
// back and answers "AT"; the 20 s stay its ceiling; fixed pacing never looks at the port.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "dialog_harness.h"
#include "ui/reset_dtu.h"

namespace marlinq::test {
namespace {

// A module whose port is present while the script says so, one entry per look, the last one
// kept; its probe answers "OK" from the given probe on.
class ScriptedRestart {
  public:
    ScriptedRestart(bool paced, std::vector<bool> present, int okFromProbe)
        : m_present(std::move(present)),
          m_okFromProbe(okFromProbe),
          reset(ResetDtuDeps{workers, [](const std::string&) {}, [this] { return Step("reset"), true; },
                             [this] { Step("close"); }, [this] { Step("scan"); }, [paced] { return paced; },
                             [this] { return Present(); },
                             [this] {
                                 std::lock_guard lock(m_mutex);
                                 ++m_probes;
                                 m_steps.push_back("probe");
                                 return m_probes >= m_okFromProbe;
                             }}) {}
    ~ScriptedRestart() { workers.StopAll(); }

    std::vector<std::string> Steps() {
        std::lock_guard lock(m_mutex);
        return m_steps;
    }
    int Looks() {
        std::lock_guard lock(m_mutex);
        return m_looks;
    }

  private:
    void Step(const std::string& s) {
        std::lock_guard lock(m_mutex);
        m_steps.push_back(s);
    }
    bool Present() {
        std::lock_guard lock(m_mutex);
        const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(m_looks), m_present.size() - 1);
        ++m_looks;
        return m_present[at];
    }

    std::mutex m_mutex;
    std::vector<std::string> m_steps;
    std::vector<bool> m_present;
    int m_okFromProbe;
    int m_looks = 0;
    int m_probes = 0;

  public:
    fw::CWorkerRegistry workers{[](std::function<void()> fn) { fn(); }, [](const std::string&) {}};
    CResetDtu reset;
};

TEST(ResetWait, PacedByTheAnswerItEndsOnceThePortHasGoneAndCameBackAndAnswersAt) {
    platform::ScopedClockScale scale(0.01);
    // Still there, gone twice, back; the first probe finds it starting up, the second answers.
    ScriptedRestart r(true, {true, false, false, true}, 2);
    r.reset.OnBtnResetDtu();
    ASSERT_TRUE(Eventually([&] { return r.Steps().size() == 5; }));
    EXPECT_EQ(r.Steps(), (std::vector<std::string>{"reset", "probe", "probe", "close", "scan"}));
    EXPECT_EQ(r.Looks(), 5);  // no look after the answer
}

TEST(ResetWait, APortThatNeverGoesIsNotProbedAndTheCeilingEndsTheWait) {
    platform::ScopedClockScale scale(0.0005);  // the 20 s ceiling takes 10 ms
    ScriptedRestart r(true, {true}, 1);
    r.reset.OnBtnResetDtu();
    ASSERT_TRUE(Eventually([&] { return r.Steps().size() == 3; }));
    EXPECT_EQ(r.Steps(), (std::vector<std::string>{"reset", "close", "scan"}));
}

TEST(ResetWait, FixedPacingWaitsWithoutLookingAtThePort) {
    platform::ScopedClockScale scale(0.0005);
    ScriptedRestart r(false, {false}, 1);
    r.reset.OnBtnResetDtu();
    ASSERT_TRUE(Eventually([&] { return r.Steps().size() == 3; }));
    EXPECT_EQ(r.Steps(), (std::vector<std::string>{"reset", "close", "scan"}));
    EXPECT_EQ(r.Looks(), 0);
}

}  // namespace
}  // namespace marlinq::test
