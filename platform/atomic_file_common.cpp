#include <atomic>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/file_kind.h"
#include "platform/process_alive.h"
#include "platform/system_error_text.h"

namespace platform {

namespace {

std::atomic<int> g_injectedFault{static_cast<int>(ReplaceStep::kNone)};

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

bool AtomicFileWriter::Fail(ReplaceStep step, int error, std::string reason) {
    Abandon();
    m_failedStep = step;
    m_error = error;
    m_reason = std::move(reason);
    return false;
}

std::string AtomicFileWriter::ErrorText() const {
    return !m_reason.empty() ? m_reason : SystemErrorText(m_error);
}

bool AtomicFileWriter::TargetStillReplaceable() {
    const FileKind kind = KindAt(m_targetPath);
    if (kind == FileKind::kMissing || kind == FileKind::kRegular) {
        return true;
    }
    const std::string what = KindName(kind);
    return Fail(ReplaceStep::kRename, 0,
                what.empty() ? std::string("what is there cannot be looked at") : "it is " + what);
}

std::string detail::DirectoryOf(const std::string& path, const char* separators) {
    const auto pos = path.find_last_of(separators);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string detail::NameOf(const std::string& path, const char* separators) {
    const auto pos = path.find_last_of(separators);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string AtomicTempName(const std::string& targetName, long pid, unsigned n) {
    return "." + targetName + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

long AtomicTempOwner(const std::string& name, const std::string& targetName) {
    const std::string prefix = "." + targetName + ".";
    const std::string suffix = ".tmp";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return -1;
    }
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size() - suffix.size();
    long pid = 0;
    const auto [pidEnd, pidError] = std::from_chars(first, last, pid);
    if (pidError != std::errc() || pidEnd == first || pidEnd == last || *pidEnd != '-' || pid <= 0) {
        return -1;
    }
    unsigned n = 0;
    const auto [nEnd, nError] = std::from_chars(pidEnd + 1, last, n);
    if (nError != std::errc() || nEnd != last || nEnd == pidEnd + 1) {
        return -1;
    }
    return pid;
}

void RemoveStaleTempFiles(const std::string& directory, const std::string& targetName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = directory.empty() ? fs::path(".") : fs::path(directory);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const long owner = AtomicTempOwner(it->path().filename().string(), targetName);
        if (owner > 0 && owner != CurrentProcessId() && !ProcessAlive(owner)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

void InjectReplaceFault(ReplaceStep step) {
    g_injectedFault.store(static_cast<int>(step));
}

namespace detail {

bool TakeInjectedFault(ReplaceStep step) {
    int expected = static_cast<int>(step);
    return step != ReplaceStep::kNone &&
           g_injectedFault.compare_exchange_strong(expected, static_cast<int>(ReplaceStep::kNone));
}

}  // namespace detail

}  // namespace platform
