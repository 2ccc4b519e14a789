// The computer's DNS host name and the user name of the session, as UTF-8.
#include <windows.h>

#include "platform/station_identity.h"

namespace platform {

namespace {

std::string Utf8(const wchar_t* wide, DWORD length) {
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text.data(), n, nullptr, nullptr);
    }
    return text.substr(0, kIdentityLimit);
}

}  // namespace

std::string StationName() {
    wchar_t name[kIdentityLimit + 1] = {};
    DWORD length = kIdentityLimit;
    if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &length)) {
        return {};
    }
    return Utf8(name, length);
}

std::string OperatorName() {
    wchar_t name[kIdentityLimit + 1] = {};
    DWORD length = kIdentityLimit + 1;
    if (!::GetUserNameW(name, &length) || length == 0) {
        return {};
    }
    return Utf8(name, length - 1);  // the count holds the terminating zero
}

}  // namespace platform
