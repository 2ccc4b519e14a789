// The message map of a dialog class: which handler serves which command, notification or message.
#pragma once

#include <functional>
#include <vector>

#include "framework/types.h"

namespace fw {

class CMessageMap {
  public:
    using Handler = std::function<void()>;
    using NotifyHandler = std::function<LRESULT(const NMHDR&)>;
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

    // WM_COMMAND from control or command `id` with notification `code` (BN_CLICKED for buttons
    // and posted commands).
    void Command(int id, Handler handler, UINT code = BN_CLICKED);
    // WM_NOTIFY from control `id` with `code`.
    void Notify(int id, UINT code, NotifyHandler handler);
    // Any other message.
    void Message(UINT message, MessageHandler handler);

    // Runs the handler that serves the message; false when none does.
    bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;

  private:
    struct CommandEntry {
        int id;
        UINT code;
        Handler handler;
    };
    struct NotifyEntry {
        int id;
        UINT code;
        NotifyHandler handler;
    };
    struct MessageEntry {
        UINT message;
        MessageHandler handler;
    };
    std::vector<CommandEntry> m_commands;
    std::vector<NotifyEntry> m_notifies;
    std::vector<MessageEntry> m_messages;
};

}  // namespace fw
