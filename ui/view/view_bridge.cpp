#include "ui/view/view_bridge.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace marlinq::view {

CViewBridge::CViewBridge(fw::CWindowThread& thread, IViewSink& sink, GuiThreadAccess gui)
    : m_thread(thread), m_sink(sink), m_gui(std::move(gui)) {
    m_thread.AddObserver(this);
    m_thread.SetServices(this);
}

CViewBridge::~CViewBridge() {
    m_thread.RemoveObserver(this);
    m_thread.SetServices(nullptr);
}

void CViewBridge::Post(std::function<void()> fn) {
    m_gui.post(std::move(fn));
}

void CViewBridge::OnDialogCreated(const fw::DialogInfo& info) {
    Post([this, info] { m_sink.Created(info); });
}
void CViewBridge::OnDialogShown(fw::HWND hwnd, bool visible) {
    Post([this, hwnd, visible] { m_sink.Shown(hwnd, visible); });
}
void CViewBridge::OnDialogDestroyed(fw::HWND hwnd) {
    Post([this, hwnd] { m_sink.Destroyed(hwnd); });
}
void CViewBridge::OnControlChanged(const fw::ControlChange& change) {
    Post([this, change] { m_sink.Changed(change); });
}
void CViewBridge::OnFocusChanged(fw::HWND hwnd, int id) {
    Post([this, hwnd, id] { m_sink.FocusChanged(hwnd, id); });
}
void CViewBridge::OnSystemMenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) {
    Post([this, hwnd, items] { m_sink.MenuChanged(hwnd, items); });
}
void CViewBridge::OnIconChanged(fw::HWND hwnd, int iconId) {
    Post([this, hwnd, iconId] { m_sink.IconChanged(hwnd, iconId); });
}
void CViewBridge::OnBusyChanged(bool busy) {
    Post([this, busy] { m_sink.Busy(busy); });
}

namespace {

// Tells a waiting window thread that a posted question is over: when the GUI thread has run it,
// or when the GUI thread dropped it unrun (the last copy of the function goes away either way).
struct CQuestionDone {
    std::mutex mutex;
    std::condition_variable cv;
    bool over = false;
    bool ran = false;
};

struct CQuestionGuard {
    explicit CQuestionGuard(std::shared_ptr<CQuestionDone> s) : state(std::move(s)) {}
    CQuestionGuard(const CQuestionGuard&) = delete;
    CQuestionGuard& operator=(const CQuestionGuard&) = delete;
    std::shared_ptr<CQuestionDone> state;
    ~CQuestionGuard() {
        {
            std::lock_guard lock(state->mutex);
            state->over = true;
        }
        state->cv.notify_all();
    }
};

}  // namespace

bool CViewBridge::RunAndWait(const std::function<void()>& fn) {
    if (m_gui.onGuiThread()) {
        fn();
        return true;
    }
    auto state = std::make_shared<CQuestionDone>();
    {
        auto guard = std::make_shared<CQuestionGuard>(state);
        if (!m_gui.post([fn, guard] {
                fn();
                std::lock_guard lock(guard->state->mutex);
                guard->state->ran = true;
            })) {
            return false;
        }
    }
    std::unique_lock lock(state->mutex);
    state->cv.wait(lock, [&] { return state->over; });
    return state->ran;
}

int CViewBridge::MessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                            fw::UINT type) {
    int result = fw::IDCANCEL;
    if (!RunAndWait([&] { result = m_sink.AskMessageBox(owner, text, caption, type); })) {
        return (type & 0xF) == fw::MB_OK ? fw::IDOK
                                         : ((type & 0xF) == fw::MB_YESNO ? fw::IDNO : fw::IDCANCEL);
    }
    return result;
}

std::string CViewBridge::FileDialog(fw::HWND owner, const fw::FileDialogRequest& request) {
    std::string result;
    RunAndWait([&] { result = m_sink.AskFile(owner, request); });
    return result;
}

std::vector<fw::MenuItem> OwnMenuItems(const std::vector<fw::MenuItem>& items, bool leadingSeparator) {
    std::vector<fw::MenuItem> out;
    bool pendingSeparator = false;
    for (const auto& item : items) {
        if (item.separator) {
            pendingSeparator = true;
            continue;
        }
        if (item.id >= fw::SC_SIZE) {
            pendingSeparator = false;  // a separator among the frame's items is theirs
            continue;
        }
        if (pendingSeparator && (leadingSeparator || !out.empty())) {
            fw::MenuItem separator;
            separator.separator = true;
            out.push_back(separator);
        }
        pendingSeparator = false;
        out.push_back(item);
    }
    return out;
}

}  // namespace marlinq::view
