#include "ui/win32/ui_services.h"

#include <vector>

#include "framework/display_text.h"
#include "ui/win32/text.h"

namespace marlinq::win32 {

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, fw::UINT type) {
    // The framework's button and icon bits are the platform's own.
    const UINT flags = (type & 0xFFu) | MB_SETFOREGROUND;
    switch (MessageBoxW(owner, Wide(text).c_str(), Wide(fw::DrawnText(caption)).c_str(), flags)) {
        case IDCANCEL:
            return IDCANCEL;
        case IDYES:
            return IDYES;
        case IDNO:
            return IDNO;
        default:
            return IDOK;
    }
}

std::string DialogFilter(const std::string& filter) {
    std::string out = filter;
    // A trailing "||" only ends the list.
    while (!out.empty() && out.back() == '|') {
        out.pop_back();
    }
    for (char& c : out) {
        if (c == '|') {
            c = '\0';
        }
    }
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

std::string AskFileName(HWND owner, const fw::FileDialogRequest& request) {
    std::vector<char> file(MAX_PATH * 4, '\0');
    request.defaultName.copy(file.data(), std::min(request.defaultName.size(), file.size() - 1));
    const std::string filter = DialogFilter(request.filter);
    std::string ext = request.defaultExt;
    if (ext.rfind("*.", 0) == 0) {
        ext = ext.substr(2);
    }
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    ofn.Flags |= request.fileMustExist ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : 0;
    ofn.Flags |= request.hideReadOnly ? OFN_HIDEREADONLY : 0;
    ofn.Flags |= request.createPrompt ? OFN_CREATEPROMPT : 0;
    ofn.Flags |= request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0;
    const BOOL chosen = request.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    return chosen ? std::string(file.data()) : std::string();
}

}  // namespace marlinq::win32
