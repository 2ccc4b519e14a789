// The rich-edit library and the application's registry key on Windows.
#include <windows.h>

#include <string>

#include "platform/desktop_setup.h"

namespace platform {

namespace {

constexpr std::size_t kMaxCompanyBytes = 200;  // a registry key name holds at most 255 characters

std::wstring Utf16(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                        static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) {
        return {};
    }
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                          out.data(), n);
    return out;
}

}  // namespace

void LoadRichEditSupport() {
    // Kept loaded for the whole process, as the rich-edit controls it registers must stay usable.
    ::LoadLibraryA("RICHED32.DLL");
}

void SetRegistryKey(const std::string& company) {
    if (company.empty() || company.size() > kMaxCompanyBytes) {
        return;
    }
    const std::wstring name = Utf16(company);
    // A backslash would make a path of keys, not one key.
    if (name.empty() || name.find(L'\\') != std::wstring::npos) {
        return;
    }
    HKEY key = nullptr;
    // The wide call: the name is not in the ANSI code page of every system.
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, (L"Software\\" + name).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        ::RegCloseKey(key);
    }
}

}  // namespace platform
