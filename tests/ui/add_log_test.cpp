// The log pane: lines from many threads land whole and in call order, and the view sees them all.
#include <gtest/gtest.h>

#include <barrier>
#include <map>

#include "dialog_harness.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

std::string MirroredLog(EventRecorder& events, fw::HWND hwnd) {
    std::lock_guard lock(events.mutex);
    std::string text;
    for (const auto& c : events.changes) {
        if (c.hwnd != hwnd || c.id != IDC_EDIT_LOG) {
            continue;
        }
        if (c.what == fw::ControlChange::What::TextAppended) {
            text += c.text;
        } else if (c.what == fw::ControlChange::What::Text) {
            text = c.text;
        }
    }
    return text;
}

TEST(AddLog, FourThreadsOfAThousandLinesLandWholeAndInOrder) {
    DialogHarness<> h;
    const std::string before = h.Log();
    constexpr int kThreads = 4;
    constexpr int kLines = 1000;
    std::barrier start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int i = 0; i < kLines; ++i) {
                h.Dialog().AddLog("thread " + std::to_string(t) + " line " + std::to_string(i) + " end");
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    h.Driver().Sync();  // everything posted so far has been handled
    h.Driver().Sync();
    const std::string log = h.Log();
    ASSERT_EQ(log.substr(0, before.size()), before);
    std::map<int, int> next;
    int count = 0;
    for (const auto& line : LogLines(log.substr(before.size()))) {
        int t = -1;
        int i = -1;
        char tail[8] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d %3s", &t, &i, tail), 3) << line;
        ASSERT_STREQ(tail, "end") << line;
        ASSERT_EQ(i, next[t]) << "thread " << t << " out of order";
        next[t] = i + 1;
        ++count;
    }
    EXPECT_EQ(count, kThreads * kLines);
    EXPECT_EQ(MirroredLog(h.events, h.Hwnd()), log) << "a view that applies the changes shows the same text";
    auto pane = h.Driver().State(IDC_EDIT_LOG);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->text, log);
    const int lines = 1 + static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    EXPECT_EQ(pane->firstVisibleLine, lines - 1) << "the pane shows its last line";
}

TEST(AddLog, LeadingLineBreakGivesAnEmptyLineAndWmAddLogCarriesText) {
    DialogHarness<> h;
    h.Dialog().AddLog("\r\nStart reading parameters...");
    std::thread worker([&] { h.Dialog().PostTextMessage(WM_ADDLOG, "from a worker"); });
    worker.join();
    h.Driver().Sync();
    const std::string log = h.Log();
    EXPECT_NE(log.find("Scanning equipments...\r\n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("\r\n\r\nStart reading parameters...\r\nfrom a worker\r\n")) << log;
}

TEST(AddLog, WindowThreadAndWorkerLinesKeepCallOrder) {
    DialogHarness<> h;
    // A worker line logged before a window-thread line must come first in the pane.
    std::thread worker([&] { h.Dialog().AddLog("worker first"); });
    worker.join();
    h.On([](CMarlinqDlg& d) {
        d.AddLog("window second");
        return 0;
    });
    const auto lines = LogLines(h.Log());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "worker first");
    EXPECT_EQ(lines.back(), "window second");
}

}  // namespace
}  // namespace marlinq::test
