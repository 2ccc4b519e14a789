#include <windows.h>

#include <shlobj.h>

#include <string>

#include "platform/data_directory.h"

namespace platform {

namespace {

std::string WithBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path;
}

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(value, n);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Programs installed for every user live in the Program Files folders; even an administrator,
// who may write there, keeps the tool's files in the own profile.
bool InProgramFiles(const std::string& directory) {
    const std::string path = Lower(WithBackslash(directory));
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const std::string root = Lower(WithBackslash(Variable(name)));
        if (root.size() > 1 && path.compare(0, root.size(), root) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsOwnWritableFolder(const std::string& directory) {
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        InProgramFiles(directory)) {
        return false;
    }
    // The folder's access rules decide; a file that deletes itself on close asks them.
    const std::string probe =
        WithBackslash(directory) + ".marlinq-write-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE h =
        CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(h);
    return true;
}

std::string UserDataFolder() {
    std::string base = Variable("LOCALAPPDATA");
    if (base.empty()) {
        char path[MAX_PATH] = {};
        if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK) {
            base = path;
        }
    }
    return base.empty() ? std::string() : WithBackslash(base) + "Marlinq\\";
}

bool CreatePrivateFolder(const std::string& directory) {
    if (directory.empty()) {
        return false;
    }
    for (std::size_t pos = directory.find_first_of("\\/", 3);;
         pos = directory.find_first_of("\\/", pos + 1)) {
        const std::string part = directory.substr(0, pos);
        if (!part.empty() && CreateDirectoryA(part.c_str(), nullptr) == 0 &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
        if (pos == std::string::npos) {
            break;
        }
    }
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace platform
