#include "framework/message_map.h"

namespace fw {

void CMessageMap::Command(int id, Handler handler, UINT code) {
    m_commands.push_back({id, code, std::move(handler)});
}

void CMessageMap::Notify(int id, UINT code, NotifyHandler handler) {
    m_notifies.push_back({id, code, std::move(handler)});
}

void CMessageMap::Message(UINT message, MessageHandler handler) {
    m_messages.push_back({message, std::move(handler)});
}

bool CMessageMap::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
    if (message == WM_COMMAND) {
        const int id = static_cast<int>(LOWORD(wParam));
        const UINT code = HIWORD(wParam);
        for (const auto& e : m_commands) {
            if (e.id == id && e.code == code) {
                e.handler();
                result = 0;
                return true;
            }
        }
        return false;
    }
    if (message == WM_NOTIFY && lParam != 0) {
        const auto& hdr = *reinterpret_cast<const NMHDR*>(lParam);
        for (const auto& e : m_notifies) {
            if (e.id == hdr.idFrom && e.code == hdr.code) {
                result = e.handler(hdr);
                return true;
            }
        }
        return false;
    }
    for (const auto& e : m_messages) {
        if (e.message == message) {
            result = e.handler(wParam, lParam);
            return true;
        }
    }
    return false;
}

}  // namespace fw
