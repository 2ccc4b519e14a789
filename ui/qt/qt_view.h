// The Qt view of the dialogs of one window thread. It renders the templates, mirrors every control
// change, forwards user input to the window thread, shows when that thread is busy, and answers
// its message boxes and file dialogs. The window thread is never the GUI thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "framework/dialog_driver.h"
#include "framework/observer.h"
#include "framework/window_thread.h"
#include "ui/qt/main_window.h"
#include "ui/qt/widget_factory.h"
#include "ui/view/busy_state.h"
#include "ui/view/view_bridge.h"

class QDialog;

namespace marlinq::qt {

class CInputBlocker;

class CQtView : private view::IViewSink {
  public:
    // GUI thread; attaches to `thread` before the window thread runs.
    explicit CQtView(fw::CWindowThread& thread);
    ~CQtView() override;
    CQtView(const CQtView&) = delete;
    CQtView& operator=(const CQtView&) = delete;

    // GUI thread.
    CMainWindow* MainWindow() const { return m_main; }
    fw::HWND MainHwnd() const { return m_mainHwnd; }
    QWidget* Control(fw::HWND hwnd, int id) const;
    // Input to the parameters is refused once the window thread has been busy for a while;
    // input during a short busy moment is queued and handled in order.
    bool InputBlocked() const { return m_busy.Shown(); }
    // Called once the main window is on screen.
    std::function<void()> onMainShown;
    // Called once the main dialog has ended.
    std::function<void()> onMainEnded;

  private:
    struct View {
        RenderedDialog rendered;
        QPointer<QWidget> window;  // the main window, a modal dialog, or the page
        fw::HWND parent = 0;
        bool child = false;
        bool modal = false;
    };

    // The notices and questions of the window thread, on the GUI thread.
    void Created(const fw::DialogInfo& info) override;
    void Shown(fw::HWND hwnd, bool visible) override;
    void Destroyed(fw::HWND hwnd) override;
    void Changed(const fw::ControlChange& change) override;
    void FocusChanged(fw::HWND hwnd, int id) override;
    void MenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) override;
    void IconChanged(fw::HWND hwnd, int iconId) override;
    void Busy(bool busy) override;
    int AskMessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                      fw::UINT type) override;
    std::string AskFile(fw::HWND owner, const fw::FileDialogRequest& request) override;
    void Bind(fw::HWND hwnd, const fw::DialogInfo& info, const RenderedDialog& rendered);
    void Apply(fw::HWND hwnd, const fw::ControlState& state);
    fw::CDialogDriver Driver(fw::HWND hwnd) { return fw::CDialogDriver(m_thread, hwnd); }

    fw::CWindowThread& m_thread;
    QObject m_context;  // lives on the GUI thread; queued work runs through it
    std::map<fw::HWND, View> m_views;
    std::map<QWidget*, std::pair<fw::HWND, int>> m_ids;
    CMainWindow* m_main = nullptr;
    fw::HWND m_mainHwnd = 0;
    QTimer m_busyDelay;
    CInputBlocker* m_blocker;
    view::CBusyState m_busy;
    std::unique_ptr<view::CViewBridge> m_bridge;  // detached first when the view goes
};

}  // namespace marlinq::qt
