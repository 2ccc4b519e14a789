#include "atlink/at_log.h"

#include <mutex>

#include "platform/data_directory.h"
#include "platform/local_time.h"
#include "platform/locked_append.h"

namespace atlink {

namespace {

std::mutex g_logMutex;  // keeps whole lines apart between threads of this process
std::mutex g_dirMutex;
std::string g_dirOverride;

std::string Format(const char* pattern, const std::tm& when) {
    char out[64] = {};
    const std::size_t n = std::strftime(out, sizeof out, pattern, &when);
    return std::string(out, n);
}

}  // namespace

std::string ComposeAtLogLine(const std::string& text, bool bRecv, const std::tm& date, const std::tm& time) {
    std::string body = text;
    if (!body.empty() && body.back() == '\r') {
        body.pop_back();
    }
    return Format("%m/%d/%Y ", date) + Format("%H:%M:%S ", time) + (bRecv ? "Recv: " : "Send: ") + body +
           "\r\n";
}

std::string AtLogDiskBytes(const std::string& composed) {
    std::string out;
    out.reserve(composed.size() + composed.size() / 8 + 2);
    for (char c : composed) {
        if (c == '\n') {
            out.push_back('\r');
        }
        out.push_back(c);
    }
    return out;
}

void AppendAtLogLine(const std::string& path, const std::string& text, bool bRecv, std::FILE** stream) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    *stream = std::fopen(path.c_str(), "ab");
    if (*stream == nullptr) {
        return;
    }
    if (!text.empty()) {
        const std::tm time = platform::LocalTimeNow();
        const std::tm date = platform::LocalTimeNow();
        const std::string bytes = AtLogDiskBytes(ComposeAtLogLine(text, bRecv, date, time));
        // One write under the file's lock: records of other processes sharing the program
        // directory never land inside this one.
        platform::AppendLocked(*stream, bytes);
    }
    std::fclose(*stream);
    *stream = nullptr;
}

std::string AtLogDirectory() {
    std::lock_guard<std::mutex> lock(g_dirMutex);
    return g_dirOverride.empty() ? platform::GetDataDirectory() : g_dirOverride;
}

void SetAtLogDirectoryOverride(const std::string& directory) {
    std::lock_guard<std::mutex> lock(g_dirMutex);
    g_dirOverride = directory;
}

}  // namespace atlink
