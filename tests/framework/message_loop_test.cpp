// The window thread's message loop: posted work from many threads, timers, and modal loops
// nested in a handler.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <thread>

#include "framework/dialog.h"
#include "framework/dialog_driver.h"
#include "framework/window_thread.h"
#include "platform/clock.h"
#include "tests/support/poll.h"

namespace fw {
namespace {

constexpr UINT kOwner = 20;
constexpr UINT kChild = 21;
constexpr int kButton = 40;

class Source : public ITemplateSource {
  public:
    Source() {
        for (UINT id : {kOwner, kChild}) {
            DialogTemplate t;
            t.id = id;
            ControlTemplate button;
            button.id = kButton;
            button.kind = ControlKind::PushButton;
            ControlTemplate ok;
            ok.id = IDOK;
            ok.kind = ControlKind::PushButton;
            t.controls = {button, ok};
            templates.push_back(t);
        }
    }
    const DialogTemplate* FindTemplate(UINT id) const override {
        for (const auto& t : templates) {
            if (t.id == id) {
                return &t;
            }
        }
        return nullptr;
    }
    std::vector<DialogTemplate> templates;
};

// Records button presses and timer ticks; window thread only.
class Recording : public CDialog {
  public:
    Recording(UINT id, CWindowThread& t) : CDialog(id, t) { Routes(); }
    Recording(UINT id, CDialog* parent) : CDialog(id, parent) { Routes(); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }
    void OnTimer(UINT id) override {
        ticks[id] += 1;
        if (onTick) {
            onTick(id);
        }
    }
    std::map<UINT, int> ticks;
    std::function<void(Recording&)> onInit;
    std::function<void(UINT)> onTick;
    std::atomic<int> presses{0};

  private:
    void Routes() {
        m_messageMap.Command(kButton, [this] { ++presses; });
    }
};

class MessageLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::thread([this] {
            Recording dlg(kOwner, thread);
            owner = &dlg;
            result = dlg.DoModal();
            thread.Close();
        });
        while (owner.load() == nullptr || owner.load()->GetSafeHwnd() == 0) {
            std::this_thread::yield();
        }
        hwnd = owner.load()->GetSafeHwnd();
        ASSERT_TRUE(Driver().Sync());
    }
    void TearDown() override {
        Driver().Close();
        window.join();
    }
    CDialogDriver Driver() { return CDialogDriver(thread, hwnd); }
    template <class F>
    auto On(F fn) {
        return Driver().Call([fn](CDialog* d) mutable { return fn(*static_cast<Recording*>(d)); });
    }
    // Waits (up to 10 s) until pred holds on the window thread.
    template <class F>
    bool Until(F pred) {
        return testsupport::PollUntil([&] { return On(pred); });
    }

    platform::ScopedClockScale scale{0.01};
    Source source;
    CWindowThread thread{&source};
    std::thread window;
    std::atomic<Recording*> owner{nullptr};
    std::atomic<int> result{0};
    HWND hwnd = 0;
};

TEST_F(MessageLoopTest, PostedWorkFromManyThreadsRunsOnTheWindowThreadInEachThreadsOrder) {
    const auto windowId = On([](Recording&) { return std::this_thread::get_id(); });
    constexpr int kThreads = 4;
    constexpr int kEach = 300;
    std::vector<std::vector<int>> seen(kThreads);  // window thread only
    std::atomic<int> offThread{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                thread.PostTask(hwnd, [&, t, i](CDialog* d) {
                    offThread += std::this_thread::get_id() != windowId || d == nullptr ? 1 : 0;
                    seen[static_cast<size_t>(t)].push_back(i);
                });
            }
        });
    }
    for (auto& p : posters) {
        p.join();
    }
    ASSERT_TRUE(Driver().Sync());
    EXPECT_EQ(offThread.load(), 0);
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[static_cast<size_t>(t)].size(), static_cast<size_t>(kEach)) << t;
        EXPECT_TRUE(std::is_sorted(seen[static_cast<size_t>(t)].begin(), seen[static_cast<size_t>(t)].end()))
            << t;
    }
}

TEST_F(MessageLoopTest, ATimerTicksUntilKilledAndStaysKilled) {
    On([](Recording& d) {
        d.onTick = [&d](UINT id) {
            if (id == 5 && d.ticks[5] == 3) {
                d.KillTimer(5);
            }
        };
        d.SetTimer(5, 1000);  // 10 ms here
        return 0;
    });
    ASSERT_TRUE(Until([](Recording& d) { return d.ticks[5] == 3; }));
    // A probe five times slower ticks twice: a timer that still ran would have ticked again.
    On([](Recording& d) {
        d.SetTimer(6, 5000);
        return 0;
    });
    ASSERT_TRUE(Until([](Recording& d) { return d.ticks[6] >= 2; }));
    EXPECT_EQ(On([](Recording& d) { return d.ticks[5]; }), 3);
}

TEST_F(MessageLoopTest, SettingATimerAgainRestartsItWithTheNewPeriod) {
    On([](Recording& d) {
        d.SetTimer(7, 3600000);  // an hour, even here
        d.SetTimer(7, 1000);
        return 0;
    });
    ASSERT_TRUE(Until([](Recording& d) { return d.ticks[7] >= 2; }));
}

TEST_F(MessageLoopTest, AModalChildKeepsTheThreadServedAndTheOwnerRefusesInput) {
    std::atomic<HWND> childHwnd{0};
    auto code = std::make_shared<std::promise<int>>();
    thread.PostTask(hwnd, [code, &childHwnd](CDialog* d) {
        Recording child(kChild, d);
        child.onInit = [&childHwnd](Recording& c) { childHwnd = c.GetSafeHwnd(); };
        code->set_value(child.DoModal());  // the handler waits here in a nested loop
    });
    while (childHwnd.load() == 0) {
        std::this_thread::yield();
    }
    // The nested loop serves work for the owner: reads, posted tasks, a timer.
    EXPECT_FALSE(On([](Recording& d) { return d.IsInputEnabled(); }))
        << "the owner is behind its modal child";
    Driver().Click(kButton);
    On([](Recording& d) {
        d.SetTimer(5, 1000);
        return 0;
    });
    ASSERT_TRUE(Until([](Recording& d) { return d.ticks[5] >= 1; }));
    EXPECT_EQ(owner.load()->presses.load(), 0) << "a press on the owner is refused";
    CDialogDriver child(thread, childHwnd.load());
    child.Click(IDOK);
    EXPECT_EQ(code->get_future().get(), IDOK);
    EXPECT_TRUE(On([](Recording& d) { return d.IsInputEnabled(); }));
    Driver().Click(kButton);
    ASSERT_TRUE(Driver().Sync());
    EXPECT_EQ(owner.load()->presses.load(), 1);
}

TEST_F(MessageLoopTest, ClosingTheOwnerEndsItsModalChildAndThenItself) {
    std::atomic<bool> childUp{false};
    auto code = std::make_shared<std::promise<int>>();
    thread.PostTask(hwnd, [code, &childUp](CDialog* d) {
        Recording child(kChild, d);
        child.onInit = [](Recording& c) { c.SetTimer(1, 1000); };
        child.onTick = [&childUp](UINT) { childUp = true; };  // the child's loop runs
        code->set_value(child.DoModal());
    });
    while (!childUp.load()) {
        std::this_thread::yield();
    }
    Driver().Close();  // the owner's close box while its child is up
    EXPECT_EQ(code->get_future().get(), IDCANCEL);
    window.join();
    EXPECT_EQ(result.load(), IDCANCEL);
    window = std::thread([] {});
}

}  // namespace
}  // namespace fw
