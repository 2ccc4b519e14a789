#include "configfile/scratch_container.h"

#include <array>
#include <cstring>

#include "platform/file_lock.h"

namespace configfile {

namespace {

constexpr char kMagic[4] = {'M', 'Q', 'C', 'F'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kMaxStreamName = 255;
// How long a save waits for another process's save through the same container.
constexpr std::chrono::milliseconds kLockPatience{10000};

template <std::size_t N>
void PutLittleEndian(std::uint64_t value, std::string* out) {
    for (std::size_t i = 0; i < N; ++i) {
        out->push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

template <std::size_t N>
bool GetLittleEndian(std::FILE* file, std::uint64_t* value) {
    std::array<unsigned char, N> bytes{};
    if (std::fread(bytes.data(), 1, N, file) != N) {
        return false;
    }
    *value = 0;
    for (std::size_t i = 0; i < N; ++i) {
        *value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    }
    return true;
}

}  // namespace

ScratchContainer::~ScratchContainer() {
    Close();
}

void ScratchContainer::Close() {
    if (m_file != nullptr) {
        if (m_locked) {
            std::fflush(m_file);
            platform::UnlockWholeFile(m_file);
            m_locked = false;
        }
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_size = 0;
    m_readAt = 0;
}

bool ScratchContainer::Create(const std::string& path, const std::string& streamName) {
    Close();
    if (streamName.empty() || streamName.size() > kMaxStreamName) {
        return false;
    }
    // Opened without cutting it and cut only once its lock is had: another process may be
    // copying its own save out of it right now. A missing container is made by opening it for
    // appending, which never cuts one that another process made in the meantime ("w" would).
    // The lock is held until Close.
    m_file = std::fopen(path.c_str(), "r+b");
    if (m_file == nullptr) {
        if (std::FILE* made = std::fopen(path.c_str(), "ab")) {
            std::fclose(made);
        }
        m_file = std::fopen(path.c_str(), "r+b");
    }
    if (m_file == nullptr) {
        return false;
    }
    m_locked = platform::LockWholeFile(m_file, kLockPatience);
    if (!m_locked || !platform::EmptyFile(m_file)) {
        Close();
        return false;
    }
    std::string header(kMagic, sizeof kMagic);
    PutLittleEndian<4>(kVersion, &header);
    PutLittleEndian<4>(1, &header);
    PutLittleEndian<2>(streamName.size(), &header);
    header += streamName;
    m_lengthAt = static_cast<long>(header.size());
    PutLittleEndian<8>(0, &header);
    m_dataAt = static_cast<long>(header.size());
    if (std::fwrite(header.data(), 1, header.size(), m_file) != header.size()) {
        Close();
        return false;
    }
    return true;
}

bool ScratchContainer::Open(const std::string& path, const std::string& streamName) {
    Close();
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file == nullptr) {
        return false;
    }
    char magic[4] = {};
    std::uint64_t version = 0;
    std::uint64_t count = 0;
    if (std::fread(magic, 1, sizeof magic, m_file) != sizeof magic || std::memcmp(magic, kMagic, 4) != 0 ||
        !GetLittleEndian<4>(m_file, &version) || version != kVersion || !GetLittleEndian<4>(m_file, &count)) {
        Close();
        return false;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t nameLength = 0;
        std::string name(kMaxStreamName, '\0');
        std::uint64_t length = 0;
        if (!GetLittleEndian<2>(m_file, &nameLength) || nameLength > kMaxStreamName ||
            std::fread(name.data(), 1, nameLength, m_file) != nameLength) {
            break;
        }
        name.resize(nameLength);
        m_lengthAt = std::ftell(m_file);
        if (!GetLittleEndian<8>(m_file, &length)) {
            break;
        }
        m_dataAt = std::ftell(m_file);
        if (name == streamName) {
            m_size = length;
            return true;
        }
        if (length > static_cast<std::uint64_t>(0x7FFFFFFF) ||
            std::fseek(m_file, static_cast<long>(length), SEEK_CUR) != 0) {
            break;
        }
    }
    Close();
    return false;
}

bool ScratchContainer::Write(std::string_view bytes) {
    if (m_file == nullptr || std::fseek(m_file, 0, SEEK_END) != 0 ||
        std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        return false;
    }
    m_size += bytes.size();
    return true;
}

bool ScratchContainer::Finish() {
    if (m_file == nullptr) {
        return false;
    }
    std::string length;
    PutLittleEndian<8>(m_size, &length);
    return std::fseek(m_file, m_lengthAt, SEEK_SET) == 0 &&
           std::fwrite(length.data(), 1, length.size(), m_file) == length.size() && std::fflush(m_file) == 0;
}

bool ScratchContainer::Seek(std::uint64_t offset) {
    if (m_file == nullptr || offset > m_size) {
        return false;
    }
    m_readAt = offset;
    return true;
}

std::size_t ScratchContainer::Read(char* buffer, std::size_t maxBytes) {
    if (m_file == nullptr || m_readAt >= m_size) {
        return 0;
    }
    const std::uint64_t left = m_size - m_readAt;
    const std::size_t want = left < maxBytes ? static_cast<std::size_t>(left) : maxBytes;
    if (std::fseek(m_file, m_dataAt + static_cast<long>(m_readAt), SEEK_SET) != 0) {
        return 0;
    }
    const std::size_t n = std::fread(buffer, 1, want, m_file);
    m_readAt += n;
    return n;
}

}  // namespace configfile
