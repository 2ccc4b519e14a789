// A fake adb for the Windows runner tests, copied as adb.exe into a program directory's "adb" folder.
//
// Per command (the first argument) it prints, from the files in its own folder: <command>.err to
// standard error, <command>.out to standard output, each in one write; <command>.later as a second
// write once the file <command>.go exists; with <command>.hang it writes "<pid> <parent pid>
// <parent program>" to <command>.pid and never ends. Every call is appended to calls.log as the
// number of arguments and every argument in brackets, and its working directory to cwd.log.
#include <windows.h>

#include <tlhelp32.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Folder() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

bool Exists(const std::string& file) {
    return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Append(const std::string& file, const std::string& line) {
    std::ofstream(file, std::ios::binary | std::ios::app) << line << '\n';
}

void WriteAll(DWORD which, const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The parent's process id and program name, from a snapshot of the running processes.
std::string ParentOf(DWORD pid) {
    const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    DWORD parent = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snap, &entry); ok; ok = Process32Next(snap, &entry)) {
        if (entry.th32ProcessID == pid) {
            parent = entry.th32ParentProcessID;
        }
    }
    std::string name = "?";
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snap, &entry); ok; ok = Process32Next(snap, &entry)) {
        if (entry.th32ProcessID == parent) {
            name = entry.szExeFile;
        }
    }
    CloseHandle(snap);
    return std::to_string(parent) + " " + name;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = Folder();
    std::string call = std::to_string(argc - 1);
    for (int i = 1; i < argc; ++i) {
        call += " [" + std::string(argv[i]) + "]";
    }
    Append(dir + "calls.log", call);
    char cwd[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    Append(dir + "cwd.log", cwd);

    const std::string cmd = argc > 1 ? argv[1] : "";
    const std::string base = dir + cmd;
    if (Exists(base + ".err")) {
        WriteAll(STD_ERROR_HANDLE, Read(base + ".err"));
    }
    if (Exists(base + ".out")) {
        WriteAll(STD_OUTPUT_HANDLE, Read(base + ".out"));
    }
    if (Exists(base + ".later")) {
        for (int i = 0; i < 3000 && !Exists(base + ".go"); ++i) {
            Sleep(10);
        }
        WriteAll(STD_OUTPUT_HANDLE, Read(base + ".later"));
    }
    if (Exists(base + ".hang")) {
        const DWORD pid = GetCurrentProcessId();
        // Written whole under another name first, so a reader never sees half of it.
        std::ofstream(base + ".pid.tmp") << pid << ' ' << ParentOf(pid) << '\n';
        MoveFileA((base + ".pid.tmp").c_str(), (base + ".pid").c_str());
        Sleep(INFINITE);
    }
    return 0;
}
