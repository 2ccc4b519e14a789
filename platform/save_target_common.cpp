#include "platform/save_target.h"

namespace platform {

SaveTargetWriter::~SaveTargetWriter() {
    Abandon();
}

bool SavesToStandardOutput(const std::string& path) {
    return path == kStandardOutputName || detail::IsStandardOutput(path);
}

bool SaveTargetWriter::FailThrough(ReplaceStep step, std::string text) {
    CloseThrough();
    m_failedStep = step;
    m_error = std::move(text);
    return false;
}

void SaveTargetWriter::CloseThrough() {
    if (m_handle != -1 && m_ownsHandle) {
        detail::CloseThroughHandle(m_handle);
    }
    m_handle = -1;
    m_ownsHandle = false;
}

bool SaveTargetWriter::Open(const std::string& path) {
    Abandon();
    m_through = false;
    m_refused = false;
    m_failedStep = ReplaceStep::kNone;
    m_error.clear();
    const FileKind kind = path == kStandardOutputName ? FileKind::kCharDevice : KindAt(path);
    const bool toOutput = kind == FileKind::kRegular && detail::IsStandardOutput(path);
    switch (kind) {
        case FileKind::kMissing:
        case FileKind::kRegular:
        case FileKind::kUnknown:  // the replacement's own steps say what is wrong
            if (!toOutput) {
                return m_replace.Open(path);
            }
            [[fallthrough]];
        case FileKind::kCharDevice:
        case FileKind::kFifo: {
            m_through = true;
            bool refused = false;
            std::string error;
            if (!detail::OpenThrough(toOutput ? kStandardOutputName : path, &m_handle, &m_ownsHandle,
                                     &refused, &error)) {
                m_refused = refused;
                return FailThrough(ReplaceStep::kCreate, error);
            }
            return true;
        }
        case FileKind::kDirectory:
        case FileKind::kDanglingLink:
        case FileKind::kOther:
            break;
    }
    m_refused = true;
    return FailThrough(ReplaceStep::kCreate, "it is " + KindName(kind));
}

bool SaveTargetWriter::Write(const void* data, std::size_t length) {
    if (!m_through) {
        return m_replace.Write(data, length);
    }
    if (m_handle == -1) {
        return false;
    }
    std::string error;
    return detail::WriteThrough(m_handle, data, length, &error) || FailThrough(ReplaceStep::kWrite, error);
}

bool SaveTargetWriter::Commit() {
    if (!m_through) {
        return m_replace.Commit();
    }
    if (m_handle == -1) {
        return false;
    }
    CloseThrough();
    return true;
}

void SaveTargetWriter::Abandon() {
    m_replace.Abandon();
    CloseThrough();
}

ReplaceStep SaveTargetWriter::FailedStep() const {
    return m_through || m_refused ? m_failedStep : m_replace.FailedStep();
}

std::string SaveTargetWriter::ErrorText() const {
    return m_through || m_refused ? m_error : m_replace.ErrorText();
}

}  // namespace platform
