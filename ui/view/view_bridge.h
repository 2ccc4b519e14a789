// Carries what the window thread reports to a view's GUI thread and its modal questions back.
//
// The window thread never waits for the GUI thread except for a question (a message box or a
// file dialog), and the GUI thread never runs the dialogs' handlers: every notice is posted to the
// GUI thread in the order it happened, and every user input goes the other way through a driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/observer.h"
#include "framework/window_thread.h"

namespace marlinq::view {

// What a view does with the notices, on its GUI thread.
class IViewSink {
  public:
    virtual ~IViewSink() = default;
    virtual void Created(const fw::DialogInfo& info) = 0;
    virtual void Shown(fw::HWND hwnd, bool visible) = 0;
    virtual void Destroyed(fw::HWND hwnd) = 0;
    virtual void Changed(const fw::ControlChange& change) = 0;
    // The window thread gave a control the keyboard focus: the view moves its real focus there.
    virtual void FocusChanged(fw::HWND hwnd, int id) = 0;
    virtual void MenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) = 0;
    virtual void IconChanged(fw::HWND hwnd, int iconId) = 0;
    virtual void Busy(bool busy) = 0;
    virtual int AskMessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                              fw::UINT type) = 0;
    virtual std::string AskFile(fw::HWND owner, const fw::FileDialogRequest& request) = 0;
};

// How a view reaches its GUI thread: `post` queues a function there and returns false when it
// cannot (the view is going away); `onGuiThread` tells whether the caller is that thread.
struct GuiThreadAccess {
    std::function<bool(std::function<void()>)> post;
    std::function<bool()> onGuiThread;
};

class CViewBridge : public fw::IDialogObserver, public fw::IUiServices {
  public:
    // GUI thread, before the window thread runs: attaches to `thread` as observer and services.
    CViewBridge(fw::CWindowThread& thread, IViewSink& sink, GuiThreadAccess gui);
    ~CViewBridge() override;
    CViewBridge(const CViewBridge&) = delete;
    CViewBridge& operator=(const CViewBridge&) = delete;

    // Window thread.
    void OnDialogCreated(const fw::DialogInfo& info) override;
    void OnDialogShown(fw::HWND hwnd, bool visible) override;
    void OnDialogDestroyed(fw::HWND hwnd) override;
    void OnControlChanged(const fw::ControlChange& change) override;
    void OnFocusChanged(fw::HWND hwnd, int id) override;
    void OnSystemMenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) override;
    void OnIconChanged(fw::HWND hwnd, int iconId) override;
    void OnBusyChanged(bool busy) override;
    // Asked on the GUI thread and waited for; a question that cannot reach it is cancelled.
    int MessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                   fw::UINT type) override;
    std::string FileDialog(fw::HWND owner, const fw::FileDialogRequest& request) override;

  private:
    void Post(std::function<void()> fn);
    // Runs fn on the GUI thread and waits for it; false when it could not be run.
    bool RunAndWait(const std::function<void()>& fn);

    fw::CWindowThread& m_thread;
    IViewSink& m_sink;
    GuiThreadAccess m_gui;
};

// The window's own items of a system menu (Help, About) with the separators between them; the
// standard items of the frame (move, size, close) are left out. `leadingSeparator` keeps a
// separator that stands before the first own item.
std::vector<fw::MenuItem> OwnMenuItems(const std::vector<fw::MenuItem>& items, bool leadingSeparator);

}  // namespace marlinq::view
