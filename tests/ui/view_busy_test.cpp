// The busy state of a view: shown only after a handler has run past the delay, hidden when the
// window thread waits again, never shown for short handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/view/busy_state.h"

namespace marlinq::view {
namespace {

struct Recorder {
    std::vector<std::string> calls;
    CBusyState state{{[this] { calls.push_back("start"); }, [this] { calls.push_back("stop"); },
                      [this](bool shown) { calls.push_back(shown ? "show" : "hide"); }}};
};

TEST(BusyState, ShortHandlersShowNothingALongOneIsShownUntilTheThreadWaits) {
    Recorder r;
    r.state.Busy(true);
    r.state.Busy(false);  // a short handler: the delay is stopped before it runs out
    EXPECT_EQ(r.calls, (std::vector<std::string>{"start", "stop"}));
    EXPECT_FALSE(r.state.Shown());

    r.calls.clear();
    r.state.Busy(true);
    r.state.Busy(true);  // still the same busy spell: one delay
    r.state.DelayElapsed();
    EXPECT_TRUE(r.state.Shown());
    r.state.Busy(true);  // shown already: no new delay
    r.state.Busy(false);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"start", "show", "hide"}));
    EXPECT_FALSE(r.state.Shown());
}

TEST(BusyState, ADelayThatRunsOutWhenTheThreadWaitsShowsNothing) {
    Recorder r;
    r.state.Busy(true);
    r.state.Busy(false);
    r.state.DelayElapsed();  // a timer message already queued when it was stopped
    EXPECT_FALSE(r.state.Shown());
    EXPECT_EQ(r.calls, (std::vector<std::string>{"start", "stop"}));
}

}  // namespace
}  // namespace marlinq::view
