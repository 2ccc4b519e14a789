// The bridge between the window thread and a view's GUI thread: notices arrive in order on the GUI
// thread, questions are answered synchronously there, and a question the GUI thread drops is
// cancelled instead of hanging the window thread.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "framework/window_thread.h"
#include "ui/view/view_bridge.h"

namespace marlinq::view {
namespace {

// A GUI thread of a test: a queue of functions that the test's own thread runs or drops.
class CTestGui {
  public:
    GuiThreadAccess Access() {
        return {[this](std::function<void()> fn) {
                    std::lock_guard lock(m_mutex);
                    if (m_closed) {
                        return false;
                    }
                    m_queue.push_back(std::move(fn));
                    m_cv.notify_all();
                    return true;
                },
                [this] { return std::this_thread::get_id() == m_owner; }};
    }
    // Runs queued functions until `count` have run.
    void Run(size_t count) {
        for (size_t done = 0; done < count; ++done) {
            std::function<void()> fn;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [&] { return !m_queue.empty(); });
                fn = std::move(m_queue.front());
                m_queue.pop_front();
            }
            fn();
        }
    }
    // Waits for one queued function and drops it unrun.
    void DropOne() {
        std::function<void()> fn;
        {
            std::unique_lock lock(m_mutex);
            m_cv.wait(lock, [&] { return !m_queue.empty(); });
            fn = std::move(m_queue.front());
            m_queue.pop_front();
        }
    }
    void Close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }

  private:
    std::thread::id m_owner = std::this_thread::get_id();
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_queue;
    bool m_closed = false;
};

class CRecordingSink : public IViewSink {
  public:
    void Created(const fw::DialogInfo& info) override { Log("created " + std::to_string(info.hwnd)); }
    void Shown(fw::HWND hwnd, bool visible) override {
        Log("shown " + std::to_string(hwnd) + (visible ? "+" : "-"));
    }
    void Destroyed(fw::HWND hwnd) override { Log("destroyed " + std::to_string(hwnd)); }
    void Changed(const fw::ControlChange& c) override {
        Log("changed " + std::to_string(c.id) + " " + c.text);
    }
    void FocusChanged(fw::HWND hwnd, int id) override {
        Log("focus " + std::to_string(hwnd) + " " + std::to_string(id));
    }
    void MenuChanged(fw::HWND, const std::vector<fw::MenuItem>& items) override {
        Log("menu " + std::to_string(items.size()));
    }
    void IconChanged(fw::HWND, int icon) override { Log("icon " + std::to_string(icon)); }
    void Busy(bool busy) override { Log(busy ? "busy" : "idle"); }
    int AskMessageBox(fw::HWND, const std::string& text, const std::string&, fw::UINT) override {
        Log("box " + text);
        onGuiThread = std::this_thread::get_id() == gui;
        return fw::IDYES;
    }
    std::string AskFile(fw::HWND, const fw::FileDialogRequest& request) override {
        Log("file " + request.title);
        return "C:\\chosen.xml";
    }
    void Log(const std::string& line) { events.push_back(line); }

    std::vector<std::string> events;
    std::thread::id gui = std::this_thread::get_id();
    bool onGuiThread = false;
};

TEST(ViewBridge, NoticesReachTheGuiThreadInOrderAndQuestionsAreAnsweredThere) {
    fw::CWindowThread thread;
    CTestGui gui;
    CRecordingSink sink;
    CViewBridge bridge(thread, sink, gui.Access());
    EXPECT_EQ(thread.Services(), &bridge);

    int answer = 0;
    std::string path;
    std::thread window([&] {
        fw::DialogInfo info;
        info.hwnd = 7;
        bridge.OnDialogCreated(info);
        bridge.OnBusyChanged(true);
        fw::ControlChange change;
        change.id = 1035;
        change.text = "Scanning equipments...";
        bridge.OnControlChanged(change);
        bridge.OnDialogShown(7, true);
        thread.SetFocus(7, 1008);  // the program's focus move, announced before the box it precedes
        answer = bridge.MessageBox(7, "Beat must be hex!", "\x1bMarlinq", fw::MB_YESNO);
        fw::FileDialogRequest request;
        request.title = "Save";
        path = bridge.FileDialog(7, request);
        bridge.OnDialogDestroyed(7);
    });
    gui.Run(8);
    window.join();
    EXPECT_EQ(sink.events, (std::vector<std::string>{
                               "created 7", "busy", "changed 1035 Scanning equipments...", "shown 7+",
                               "focus 7 1008", "box Beat must be hex!", "file Save", "destroyed 7"}));
    EXPECT_TRUE(sink.onGuiThread);
    EXPECT_EQ(answer, fw::IDYES);
    EXPECT_EQ(path, "C:\\chosen.xml");
}

TEST(ViewBridge, QuestionsTheGuiThreadCannotTakeAreCancelled) {
    fw::CWindowThread thread;
    CTestGui gui;
    CRecordingSink sink;
    auto bridge = std::make_unique<CViewBridge>(thread, sink, gui.Access());
    int dropped = 0;
    std::thread window([&] { dropped = bridge->MessageBox(1, "dropped", "c", fw::MB_OKCANCEL); });
    gui.DropOne();  // the view went away with the question still queued
    window.join();
    EXPECT_EQ(dropped, fw::IDCANCEL);

    gui.Close();
    std::string path = "unchanged";
    int yesNo = 0;
    int ok = 0;
    std::thread closed([&] {
        yesNo = bridge->MessageBox(1, "late", "c", fw::MB_YESNO);
        ok = bridge->MessageBox(1, "late", "c", fw::MB_OK);
        path = bridge->FileDialog(1, {});
    });
    closed.join();
    EXPECT_EQ(yesNo, fw::IDNO);
    EXPECT_EQ(ok, fw::IDOK);
    EXPECT_EQ(path, "");
    EXPECT_TRUE(sink.events.empty());
    bridge.reset();
    EXPECT_EQ(thread.Services(), nullptr);
}

}  // namespace
}  // namespace marlinq::view
