#include "ui/win32/ui_services.h"

#include <algorithm>
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
    // Pairs of description and pattern; blanks around a '|' belong to neither ("xml File (*.xml) | *.xml").
    std::string out;
    size_t at = 0;
    while (at <= filter.size()) {
        const size_t bar = std::min(filter.find('|', at), filter.size());
        size_t begin = at;
        size_t end = bar;
        while (begin < end && filter[begin] == ' ') {
            ++begin;
        }
        while (end > begin && filter[end - 1] == ' ') {
            --end;
        }
        if (end == begin) {
            break;  // an empty part ("||") ends the list
        }
        out.append(filter, begin, end - begin);
        out.push_back('\0');
        at = bar + 1;
    }
    out.push_back('\0');
    if (out.size() == 1) {
        out.push_back('\0');
    }
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
