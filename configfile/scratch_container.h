// The scratch container every save serialises into before the target file is written: one file
// holding one named stream.
//
// Layout: "MQCF", the format version (4 bytes), the stream count (4 bytes), then per stream its
// name length (2 bytes), its name, its data length (8 bytes) and its data; numbers little-endian.
// A save creates the container anew and leaves it in place afterwards. A created container is held
// under an exclusive lock until it is closed, so saves of several processes in one directory take
// turns with it instead of mixing their documents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace configfile {

class ScratchContainer {
  public:
    ScratchContainer() = default;
    ~ScratchContainer();
    ScratchContainer(const ScratchContainer&) = delete;
    ScratchContainer& operator=(const ScratchContainer&) = delete;

    // Creates the container at path, replacing an older one, with one empty stream of that name.
    bool Create(const std::string& path, const std::string& streamName);
    // Opens an existing container and the stream of that name in it.
    bool Open(const std::string& path, const std::string& streamName);
    // Appends to the stream of a created container.
    bool Write(std::string_view bytes);
    // Records the stream's length in the container and flushes it to the file.
    bool Finish();

    // The stream's length in bytes.
    std::uint64_t Size() const { return m_size; }
    // Moves the read position to the absolute stream offset; false past the end.
    bool Seek(std::uint64_t offset);
    // Reads up to maxBytes from the read position; 0 at the end of the stream or on failure.
    std::size_t Read(char* buffer, std::size_t maxBytes);

    void Close();

  private:
    std::FILE* m_file = nullptr;
    bool m_locked = false;  // a created container, held until Close
    long m_lengthAt = 0;    // file offset of the stream's length field
    long m_dataAt = 0;      // file offset of the stream's first byte
    std::uint64_t m_size = 0;
    std::uint64_t m_readAt = 0;
};

}  // namespace configfile
