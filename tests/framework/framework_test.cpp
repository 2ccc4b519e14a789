// The dialog framework on its own: message queue and timers, controls and their input rules,
// notifications, and workers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/dialog.h"
#include "framework/dialog_driver.h"
#include "framework/window_thread.h"
#include "framework/worker_thread.h"
#include "platform/clock.h"
#include "tests/support/poll.h"

namespace fw {
namespace {

// One template with a control of every kind.
class Source : public ITemplateSource {
  public:
    Source() {
        tpl.id = 7;
        tpl.caption = "Test";
        tpl.style = kSysMenu;
        tpl.groups = {{"G", 0, 0}};
        auto add = [&](int id, ControlKind kind, unsigned style, int group = -1, std::string caption = {}) {
            ControlTemplate c;
            c.id = id;
            c.kind = kind;
            c.style = style;
            c.group = group;
            c.caption = std::move(caption);
            tpl.controls.push_back(c);
        };
        add(10, ControlKind::Edit, 0);
        add(11, ControlKind::Edit, kDigitsOnly);
        add(12, ControlKind::Edit, kReadOnly);
        add(20, ControlKind::ComboBox, kSorted);
        add(30, ControlKind::RadioButton, 0, 0);
        add(31, ControlKind::RadioButton, 0, 0);
        add(32, ControlKind::RadioButton, 0, -1);
        add(40, ControlKind::CheckBox, 0);
        add(41, ControlKind::PushButton, kDisabled, -1, "Off");
        add(42, ControlKind::PushButton, kHidden, -1, "Hidden");
        add(50, ControlKind::Tab, 0);
        add(IDOK, ControlKind::PushButton, kDefaultButton, -1, "OK");
    }
    const DialogTemplate* FindTemplate(UINT id) const override { return id == tpl.id ? &tpl : nullptr; }
    DialogTemplate tpl;
};

// Records the commands, notifications and timer ticks it receives.
class TestDialog : public CDialog {
  public:
    explicit TestDialog(CWindowThread& t) : CDialog(7, t) {
        for (int id : {10, 11, 30, 31, 40, 41, 42}) {
            m_messageMap.Command(
                id, [this, id] { events.push_back("cmd " + std::to_string(id)); },
                id < 20 ? EN_CHANGE : BN_CLICKED);
        }
        m_messageMap.Command(
            20, [this] { events.push_back("sel 20"); }, CBN_SELCHANGE);
        m_messageMap.Notify(50, TCN_SELCHANGE, [this](const NMHDR&) -> LRESULT {
            events.push_back("tab");
            return 0;
        });
        m_messageMap.Message(WM_USER + 1, [this](WPARAM w, LPARAM) -> LRESULT {
            events.push_back(std::string("text ") + reinterpret_cast<const char*>(w));
            return 0;
        });
    }
    BOOL OnInitDialog() override {
        GetItem<CComboBox>(20)->AddString("b");
        GetItem<CComboBox>(20)->AddString("a");
        GetItem<CTabCtrl>(50)->InsertItem(0, "one");
        GetItem<CTabCtrl>(50)->InsertItem(1, "two");
        return TRUE;
    }
    void OnTimer(UINT id) override {
        events.push_back("timer " + std::to_string(id));
        if (++ticks == 3) {
            KillTimer(id);
        }
    }
    std::vector<std::string> events;
    int ticks = 0;
};

class FrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::thread([this] {
            TestDialog dlg(thread);
            dialog = &dlg;
            result = dlg.DoModal();
            thread.Close();
        });
        ASSERT_TRUE(testsupport::PollUntil(
            [this] { return dialog.load() != nullptr && dialog.load()->GetSafeHwnd() != 0; }));
        m_hwnd = dialog.load()->GetSafeHwnd();
        ASSERT_TRUE(driver().Sync());
    }
    void TearDown() override {
        driver().Close();
        window.join();
    }
    CDialogDriver driver() { return CDialogDriver(thread, m_hwnd); }
    std::vector<std::string> Events() {
        return driver().Call([](CDialog* d) { return static_cast<TestDialog*>(d)->events; });
    }

    platform::ScopedClockScale scale{0.01};
    Source source;
    CWindowThread thread{&source};
    std::thread window;
    std::atomic<TestDialog*> dialog{nullptr};
    int result = 0;
    HWND m_hwnd = 0;
};

TEST_F(FrameworkTest, EditInputFollowsTheStyleRules) {
    auto d = driver();
    d.Type(10, "free text");
    d.Type(11, "123");
    d.Type(11, "12a");  // refused: digits only
    d.Type(12, "x");    // refused: read-only
    EXPECT_EQ(d.Text(10), "free text");
    EXPECT_EQ(d.Text(11), "123");
    EXPECT_EQ(d.Text(12), "");
    EXPECT_EQ(d.State(10)->selStart, 9) << "the caret follows the typed text";
    EXPECT_EQ(Events(), (std::vector<std::string>{"cmd 10", "cmd 11"}));
}

TEST_F(FrameworkTest, ButtonsChecksAndRadiosBehaveAutomatically) {
    auto d = driver();
    d.Click(40);
    EXPECT_TRUE(d.Checked(40));
    d.Click(40);
    EXPECT_FALSE(d.Checked(40));
    d.Click(30);
    d.Click(32);  // another group: 30 stays
    EXPECT_TRUE(d.Checked(30));
    d.Click(31);
    EXPECT_FALSE(d.Checked(30));
    EXPECT_TRUE(d.Checked(31));
    EXPECT_TRUE(d.Checked(32));
    d.Click(41);  // disabled
    d.Click(42);  // hidden
    d.Click(99);  // no such control
    EXPECT_EQ(Events(), (std::vector<std::string>{"cmd 40", "cmd 40", "cmd 30", "cmd 31"}));
}

TEST_F(FrameworkTest, SortedComboAndTabSelection) {
    auto d = driver();
    EXPECT_EQ(d.Items(20), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(d.CurSel(20), -1);
    d.Select(20, 1);
    EXPECT_EQ(d.Text(20), "b");
    d.Select(50, 1);
    d.Select(50, 1);  // already selected: no notification
    EXPECT_EQ(d.CurSel(50), 1);
    EXPECT_EQ(d.State(50)->curFocus, 1);
    EXPECT_EQ(Events(), (std::vector<std::string>{"sel 20", "tab"}));
}

TEST_F(FrameworkTest, TimersTickUntilKilledAndPostedMessagesCarryText) {
    driver().Call([](CDialog* d) {
        d->SetTimer(5, 1000);
        d->PostTextMessage(WM_USER + 1, "hello");
        return 0;
    });
    std::vector<std::string> events;
    testsupport::PollUntil([&] {
        events = Events();
        return std::count(events.begin(), events.end(), "timer 5") >= 3;
    });
    // A probe timer five times slower ticks once: timer 5, had it survived, would tick again.
    driver().Call([](CDialog* d) {
        d->SetTimer(6, 5000);
        return 0;
    });
    testsupport::PollUntil([&] {
        events = Events();
        return std::count(events.begin(), events.end(), "timer 6") >= 1;
    });
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "text hello") << "posted work comes before a due timer";
    EXPECT_GE(std::count(events.begin(), events.end(), "timer 6"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "timer 5"), 3) << "a killed timer stays killed";
}

TEST_F(FrameworkTest, EnterPressesTheDefaultButtonAndEndsTheDialog) {
    driver().KeyDown(VK_RETURN);
    window.join();
    EXPECT_EQ(result, IDOK);
    window = std::thread([] {});
}

TEST_F(FrameworkTest, ChangesReachObserversInOrder) {
    struct Recorder : IDialogObserver {
        void OnControlChanged(const ControlChange& c) override { changes.push_back(c); }
        std::vector<ControlChange> changes;
    };
    auto recorder = std::make_shared<Recorder>();
    driver().Call([recorder](CDialog* d) {
        d->Thread().AddObserver(recorder.get());
        auto* edit = d->GetItem<CEdit>(10);
        edit->SetWindowText("ab");
        edit->SetSel(-1, -1);
        edit->ReplaceSel("cd");
        d->GetDlgItem(41)->EnableWindow(TRUE);
        d->Thread().RemoveObserver(recorder.get());
        return 0;
    });
    using W = ControlChange::What;
    ASSERT_EQ(recorder->changes.size(), 4u);
    EXPECT_EQ(recorder->changes[0].what, W::Text);
    EXPECT_EQ(recorder->changes[0].text, "ab");
    EXPECT_EQ(recorder->changes[1].what, W::Selection);
    EXPECT_EQ(recorder->changes[2].what, W::TextAppended);
    EXPECT_EQ(recorder->changes[2].text, "cd");
    EXPECT_EQ(recorder->changes[3].what, W::Enabled);
    EXPECT_EQ(recorder->changes[3].id, 41);
}

TEST(WindowThread, ClosedQueueHandsTasksBackWithoutADialog) {
    CWindowThread thread;
    int calls = 0;
    bool sawDialog = true;
    thread.PostTask(1, [&](CDialog* d) {
        ++calls;
        sawDialog = d != nullptr;
    });
    thread.Close();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(sawDialog);
    EXPECT_FALSE(thread.PostTask(1, [&](CDialog* d) { calls += d == nullptr ? 10 : 100; }));
    EXPECT_EQ(calls, 11);
}

TEST(Workers, WaitEndsEarlyOnStopAndAbortRunsTheHook) {
    platform::ScopedClockScale scale(1.0);
    std::atomic<int> outcome{-1};
    {
        CWorkerThread stopped;
        stopped.Start([&](CWorkerThread& self) { outcome = self.Wait(60000) ? 1 : 0; });
    }  // asks it to stop and joins, long before the minute
    EXPECT_EQ(outcome.load(), 0);

    CWorkerThread worker;
    std::atomic<bool> hook{false};
    std::atomic<bool> waiting{false};
    worker.Start([&](CWorkerThread& self) {
        self.SetAbortHook([&] { hook = true; });
        waiting = true;
        self.Wait(60000);
    });
    while (!waiting) {
        std::this_thread::yield();
    }
    worker.Abort();
    worker.Join();
    EXPECT_TRUE(hook);
    EXPECT_TRUE(worker.IsAborted());
    EXPECT_TRUE(worker.IsFinished());
}

TEST(Workers, FullWaitReportsCompletionAtTheScaledClock) {
    platform::ScopedClockScale scale(0.001);
    CWorkerThread worker;
    std::atomic<int> outcome{-1};
    worker.Start([&](CWorkerThread& self) { outcome = self.Wait(20000) ? 1 : 0; });
    worker.Join();
    EXPECT_EQ(outcome.load(), 1);
}

}  // namespace
}  // namespace fw
