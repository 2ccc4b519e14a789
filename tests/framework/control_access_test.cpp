// Control access over a framework dialog and over a child page of it.
#include "framework/control_access.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "framework/dialog.h"
#include "framework/dialog_driver.h"
#include "framework/window_thread.h"

namespace fw {
namespace {

constexpr UINT kMain = 8;
constexpr UINT kPage = 9;

class Source : public ITemplateSource {
  public:
    Source() {
        main.id = kMain;
        page.id = kPage;
        auto add = [](DialogTemplate& t, int id, ControlKind kind, unsigned style = 0) {
            ControlTemplate c;
            c.id = id;
            c.kind = kind;
            c.style = style;
            t.controls.push_back(c);
        };
        add(main, 10, ControlKind::Edit);
        add(main, 20, ControlKind::ComboBox, kSorted);
        add(main, 21, ControlKind::ComboBox);
        add(main, 40, ControlKind::CheckBox);
        add(main, 41, ControlKind::PushButton, kDisabled);
        add(main, 50, ControlKind::Tab);
        add(main, 60, ControlKind::StaticIcon);
        add(page, 10, ControlKind::Edit);  // the same id as on the main dialog
        add(page, 40, ControlKind::CheckBox);
    }
    const DialogTemplate* FindTemplate(UINT id) const override {
        return id == kMain ? &main : id == kPage ? &page : nullptr;
    }
    DialogTemplate main;
    DialogTemplate page;
};

class MainDialog : public CDialog {
  public:
    explicit MainDialog(CWindowThread& t) : CDialog(kMain, t), pageDlg(kPage, this) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        pageDlg.Create(kPage, 50, 0);
        return TRUE;
    }
    CDialog pageDlg;
};

// Records each control change with the thread it was made on.
struct Recorder : IDialogObserver {
    void OnControlChanged(const ControlChange& c) override {
        std::lock_guard lock(mutex);
        changes.push_back(c);
        threads.push_back(std::this_thread::get_id());
    }
    void OnFocusChanged(HWND hwnd, int id) override {
        std::lock_guard lock(mutex);
        focus.emplace_back(hwnd, id);
    }
    std::mutex mutex;
    std::vector<ControlChange> changes;
    std::vector<std::thread::id> threads;
    std::vector<std::pair<HWND, int>> focus;
};

class ControlAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        thread.AddObserver(&recorder);
        window = std::thread([this] {
            MainDialog dlg(thread);
            dialog = &dlg;
            dlg.DoModal();
            thread.Close();
        });
        while (dialog.load() == nullptr || dialog.load()->pageDlg.GetSafeHwnd() == 0) {
            std::this_thread::yield();
        }
        hwnd = dialog.load()->GetSafeHwnd();
        ASSERT_TRUE(Driver().Sync());
        mainAccess = std::make_unique<CDialogControlAccess>(*dialog.load());
        pageAccess = std::make_unique<CDialogControlAccess>(dialog.load()->pageDlg);
    }
    void TearDown() override {
        Driver().Close();
        window.join();
    }
    CDialogDriver Driver() { return CDialogDriver(thread, hwnd); }
    // Runs fn with the main dialog's access on the window thread.
    template <class F>
    auto OnWindow(F fn) {
        return Driver().Call([this, fn](CDialog*) { return fn(*mainAccess); });
    }

    Source source;
    CWindowThread thread{&source};
    Recorder recorder;
    std::thread window;
    std::atomic<MainDialog*> dialog{nullptr};
    HWND hwnd = 0;
    std::unique_ptr<CDialogControlAccess> mainAccess;
    std::unique_ptr<CDialogControlAccess> pageAccess;
};

TEST_F(ControlAccessTest, ReadsAndWritesEveryKindById) {
    OnWindow([](IControlAccess& a) {
        a.SetWindowText(10, "abc");
        EXPECT_EQ(a.GetWindowText(10), "abc");
        a.SetCheck(40, BST_CHECKED);
        EXPECT_EQ(a.GetCheck(40), BST_CHECKED);
        a.SetCheck(40, BST_UNCHECKED);
        EXPECT_EQ(a.GetCheck(40), BST_UNCHECKED);

        for (const char* item : {"9600", "115200", "1200"}) {
            a.AddString(20, item);  // sorted by text
            a.AddString(21, item);  // kept in insertion order
        }
        EXPECT_EQ(a.GetCount(20), 3);
        EXPECT_EQ(a.GetLBText(20, 0), "115200");
        EXPECT_EQ(a.GetLBText(21, 0), "9600");
        EXPECT_EQ(a.GetLBText(21, 3), "") << "out of range";
        EXPECT_EQ(a.GetCurSel(21), -1);
        a.SetCurSel(21, 2);
        EXPECT_EQ(a.GetCurSel(21), 2);
        EXPECT_EQ(a.GetWindowText(21), "1200");
        a.SelectItemText(21, "115200");
        EXPECT_EQ(a.GetCurSel(21), 1);
        a.SelectItemText(21, "11520");  // a prefix is not the item
        EXPECT_EQ(a.GetCurSel(21), -1);
        a.SelectItemText(21, "9600");
        a.SetCurSel(21, -1);
        EXPECT_EQ(a.GetCurSel(21), -1);
        a.ResetContent(20);
        EXPECT_EQ(a.GetCount(20), 0);

        EXPECT_EQ(a.IsWindowEnabled(41), FALSE);
        a.EnableWindow(41, true);
        EXPECT_EQ(a.IsWindowEnabled(41), TRUE);
        a.ShowWindow(41, false);
        a.SetIcon(60, 131);
        return 0;
    });
    auto d = Driver();
    EXPECT_FALSE(d.Visible(41));
    EXPECT_EQ(d.State(60)->icon, 131);
}

TEST_F(ControlAccessTest, FocusAtEndPutsTheCaretBehindTheText) {
    OnWindow([](IControlAccess& a) {
        a.SetWindowText(10, "hello");
        a.FocusAtEnd(10);
        return 0;
    });
    auto d = Driver();
    EXPECT_EQ(d.FocusedControl(), 10);
    EXPECT_EQ(d.State(10)->selStart, 5);
    EXPECT_EQ(d.State(10)->selEnd, 5);
}

TEST_F(ControlAccessTest, FocusAtEndReachesTheViewsEvenWhereTheUserTypedLast) {
    // The user typed in the edit through a view: the view has its focus and caret already, so
    // neither is sent back to it.
    auto d = Driver();
    ASSERT_TRUE(d.Sync());
    {
        std::lock_guard lock(recorder.mutex);
        recorder.focus.clear();  // the dialog's first focus
        recorder.changes.clear();
    }
    d.Type(10, "hello");
    ASSERT_EQ(d.FocusedControl(), 10);
    {
        std::lock_guard lock(recorder.mutex);
        EXPECT_TRUE(recorder.focus.empty());
        for (const auto& c : recorder.changes) {
            EXPECT_NE(c.what, ControlChange::What::Selection) << "typing moved the view's caret";
        }
        recorder.changes.clear();
    }
    // The user's keys may have moved the real caret and focus since: the window's own request
    // reaches the views although the model's focus and caret do not change.
    OnWindow([](IControlAccess& a) {
        a.FocusAtEnd(10);
        return 0;
    });
    std::lock_guard lock(recorder.mutex);
    EXPECT_EQ(recorder.focus, (std::vector<std::pair<HWND, int>>{{hwnd, 10}}));
    ASSERT_EQ(recorder.changes.size(), 1u);
    EXPECT_EQ(recorder.changes[0].what, ControlChange::What::Selection);
    EXPECT_EQ(recorder.changes[0].value, 5);
    EXPECT_EQ(recorder.changes[0].value2, 5);
}

TEST_F(ControlAccessTest, UnknownIdsAndOtherKindsReadEmptyAndIgnoreWrites) {
    OnWindow([](IControlAccess& a) {
        a.SetWindowText(99, "x");
        EXPECT_EQ(a.GetWindowText(99), "");
        EXPECT_EQ(a.GetCurSel(99), -1);
        EXPECT_EQ(a.GetCount(10), 0) << "an edit has no items";
        a.AddString(10, "x");
        a.SetCheck(10, BST_CHECKED);
        EXPECT_EQ(a.GetCheck(10), BST_UNCHECKED);
        EXPECT_EQ(a.IsWindowEnabled(99), FALSE);
        a.SetCurSel(40, 0);
        return 0;
    });
    EXPECT_EQ(Driver().Text(10), "");
}

TEST_F(ControlAccessTest, WritesFromAnotherThreadTakeEffectOnTheWindowThreadInOrder) {
    const auto windowId = Driver().Call([](CDialog*) { return std::this_thread::get_id(); });
    for (int i = 0; i < 50; ++i) {
        mainAccess->SetWindowText(10, std::to_string(i));
        mainAccess->AddString(21, std::to_string(i));
    }
    mainAccess->SelectItemText(21, "42");
    pageAccess->SetCheck(40, BST_CHECKED);
    ASSERT_TRUE(Driver().Sync());
    EXPECT_EQ(Driver().Text(10), "49");
    EXPECT_EQ(Driver().Items(21).size(), 50u);
    EXPECT_EQ(Driver().CurSel(21), 42);
    EXPECT_TRUE(CDialogDriver(thread, dialog.load()->pageDlg.GetSafeHwnd()).Checked(40));
    std::lock_guard lock(recorder.mutex);
    for (const auto& id : recorder.threads) {
        EXPECT_EQ(id, windowId);
    }
    int lastText = -1;
    for (const auto& c : recorder.changes) {
        if (c.hwnd == hwnd && c.id == 10 && c.what == ControlChange::What::Text) {
            EXPECT_EQ(std::stoi(c.text), lastText + 1) << "in call order";
            lastText = std::stoi(c.text);
        }
    }
    EXPECT_EQ(lastText, 49);
}

TEST_F(ControlAccessTest, APageResolvesItsOwnIds) {
    Driver().Call([this](CDialog*) {
        pageAccess->SetWindowText(10, "page");
        mainAccess->SetWindowText(10, "main");
        EXPECT_EQ(pageAccess->GetWindowText(10), "page");
        EXPECT_EQ(mainAccess->GetWindowText(10), "main");
        EXPECT_EQ(pageAccess->GetCount(20), 0) << "the combo box is the main dialog's";
        return 0;
    });
}

}  // namespace
}  // namespace fw
