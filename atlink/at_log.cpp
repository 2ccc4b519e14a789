#include "atlink/at_log.h"

#include <mutex>
#include <set>

#include "platform/data_directory.h"
#include "platform/local_time.h"
#include "platform/locked_append.h"
#include "platform/regular_file.h"

namespace atlink {

namespace {

std::mutex g_logMutex;                 // keeps whole lines apart between threads of this process
std::set<std::string> g_refusedPaths;  // said once each, under g_logMutex
std::mutex g_dirMutex;
std::string g_dirOverride;

std::string Format(const char* pattern, const std::tm& when) {
    char out[64] = {};
    const std::size_t n = std::strftime(out, sizeof out, pattern, &when);
    return std::string(out, n);
}

std::string Compose(const std::string& text, const char* label, const std::tm& date, const std::tm& time) {
    std::string body = text;
    if (!body.empty() && body.back() == '\r') {
        body.pop_back();
    }
    return Format("%m/%d/%Y ", date) + Format("%H:%M:%S ", time) + label + body + "\r\n";
}

void Append(const std::string& path, const std::string& text, const char* label, std::FILE** stream) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    platform::RegularFileError error;
    *stream = platform::OpenRegularFile(path, platform::RegularFileAccess::kAppend, &error);
    if (*stream == nullptr) {
        // A file that cannot be opened costs the line silently; one that is not a file at all
        // would cost every line, so that is said, once.
        if (error.refusedKind != platform::FileKind::kRegular && g_refusedPaths.insert(path).second) {
            std::fprintf(stderr, "%s\n", AtLogRefusedLine(path, error.text).c_str());
            std::fflush(stderr);
        }
        return;
    }
    if (!text.empty()) {
        const std::tm time = platform::LocalTimeNow();
        const std::tm date = platform::LocalTimeNow();
        const std::string bytes = AtLogDiskBytes(Compose(text, label, date, time));
        // One write under the file's lock: records of other processes sharing the program
        // directory never land inside this one.
        platform::AppendLocked(*stream, bytes);
    }
    std::fclose(*stream);
    *stream = nullptr;
}

}  // namespace

std::string ComposeAtLogLine(const std::string& text, bool bRecv, const std::tm& date, const std::tm& time) {
    return Compose(text, bRecv ? "Recv: " : "Send: ", date, time);
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
    Append(path, text, bRecv ? "Recv: " : "Send: ", stream);
}

void AppendAtLogNote(const std::string& path, const std::string& text) {
    std::FILE* stream = nullptr;
    Append(path, text, "Note: ", &stream);
}

std::string AtLogRefusal(const std::string& path) {
    const platform::FileKind kind = platform::KindAt(path);
    return platform::IsNotRegular(kind) ? platform::NotRegularText(kind) : std::string();
}

std::string AtLogRefusedLine(const std::string& path, const std::string& reason) {
    return "the traffic log " + path + " cannot be written: " + reason;
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
