// tarnwick-probe: a command-line front end to the Tarnwick library, built on its public header.
//
//   tarnwick-probe find [VENDOR PRODUCT]          is a matching removable disk present?
//   tarnwick-probe [-d X] capacity                 last LBA, block length and size
//   tarnwick-probe [-d X] read LBA COUNT FILE      copies COUNT sectors from LBA on into FILE
//   tarnwick-probe [-d X] write LBA FILE           writes FILE from LBA on (last sector zero-padded)
//
// Without -d the eMMC disk is looked up by its vendor and product strings; -d X opens drive X.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tarnwick.h"

namespace {

constexpr unsigned long kSector = 512;
constexpr unsigned long kMaxLba = 0xFFFFFFFFUL;
constexpr unsigned int kReadBatch = 128;         // sectors per READ(10)
constexpr std::size_t kWriteBatch = 16 * 65536;  // bytes per WriteFileToEMMC call

int Usage() {
    std::fprintf(stderr,
                 "usage: tarnwick-probe find [VENDOR PRODUCT]\n"
                 "       tarnwick-probe [-d LETTER] capacity\n"
                 "       tarnwick-probe [-d LETTER] read LBA COUNT FILE\n"
                 "       tarnwick-probe [-d LETTER] write LBA FILE\n");
    return 2;
}

std::optional<unsigned long long> ParseNumber(const char* text, unsigned long long max) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 0);
    if (errno != 0 || *end != '\0' || value > max) {
        return std::nullopt;
    }
    return value;
}

unsigned long BigEndian32(const unsigned char* bytes) {
    return (static_cast<unsigned long>(bytes[0]) << 24) | (static_cast<unsigned long>(bytes[1]) << 16) |
           (static_cast<unsigned long>(bytes[2]) << 8) | static_cast<unsigned long>(bytes[3]);
}

int Find(int argc, char** argv) {
    int found = -1;
    if (argc == 0) {
        found = IsEMMCUDiskExist();
    } else if (argc == 2) {
        found = IsUsbMassStorageExist(argv[0], argv[1]);
    } else {
        return Usage();
    }
    std::printf("%s\n", found == 0 ? "found" : "not found");
    return found == 0 ? 0 : 1;
}

int Capacity() {
    std::vector<unsigned char> buffer(kSector, 0);
    if (SendReadCapacityCommand(buffer.data(), static_cast<unsigned int>(buffer.size())) != 0) {
        std::fprintf(stderr, "READ CAPACITY failed\n");
        return 1;
    }
    const unsigned long lastLba = BigEndian32(buffer.data());
    const unsigned long blockLength = BigEndian32(buffer.data() + 4);
    std::printf("last LBA %lu, block length %lu, %llu bytes\n", lastLba, blockLength,
                (static_cast<unsigned long long>(lastLba) + 1) * blockLength);
    return 0;
}

int Read(unsigned long lba, unsigned long long count, const char* path) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot create %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::vector<unsigned char> buffer(kReadBatch * kSector);
    int rc = 0;
    while (count > 0 && rc == 0) {
        const auto batch = static_cast<unsigned char>(count < kReadBatch ? count : kReadBatch);
        if (ReadFromEMMC(lba, buffer.data(), batch) != 0) {
            std::fprintf(stderr, "READ(10) at LBA %lu failed\n", lba);
            rc = 1;
        } else if (std::fwrite(buffer.data(), kSector, batch, out) != batch) {
            std::fprintf(stderr, "cannot write %s\n", path);
            rc = 1;
        }
        lba += batch;
        count -= batch;
    }
    if (std::fclose(out) != 0 && rc == 0) {
        std::fprintf(stderr, "cannot write %s\n", path);
        rc = 1;
    }
    return rc;
}

int Write(unsigned long lba, const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "cannot open %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::vector<unsigned char> buffer(kWriteBatch);
    unsigned long long written = 0;
    int rc = 0;
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        if (got == 0) {
            break;
        }
        if (lba > kMaxLba || WriteFileToEMMC(lba, buffer.data(), static_cast<unsigned long>(got)) != 0) {
            std::fprintf(stderr, "write at LBA %lu failed\n", lba);
            rc = 1;
            break;
        }
        written += got;
        lba += static_cast<unsigned long>((got + kSector - 1) / kSector);
    }
    if (rc == 0 && std::ferror(in)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        rc = 1;
    }
    std::fclose(in);
    if (rc == 0 && SendSyncCacheCommand() != 0) {
        std::fprintf(stderr, "SYNCHRONIZE CACHE failed\n");
        rc = 1;
    }
    std::printf("%llu bytes written\n", written);
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv + 1, argv + argc);
    if (!args.empty() && std::strcmp(args[0], "find") == 0) {
        return Find(static_cast<int>(args.size()) - 1, args.data() + 1);
    }
    std::optional<char> drive;
    if (args.size() >= 2 && std::strcmp(args[0], "-d") == 0) {
        if (std::strlen(args[1]) != 1) {
            return Usage();
        }
        drive = args[1][0];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        return Usage();
    }
    const std::string command = args[0];
    std::optional<unsigned long long> lba;
    std::optional<unsigned long long> count;
    if (command == "read" && args.size() == 4) {
        lba = ParseNumber(args[1], kMaxLba);
        count = ParseNumber(args[2], kMaxLba + 1ULL);
        if (!lba || !count || *count > kMaxLba + 1ULL - *lba) {
            std::fprintf(stderr, "LBA and COUNT must lie within the 32-bit sector range\n");
            return 2;
        }
    } else if (command == "write" && args.size() == 3) {
        lba = ParseNumber(args[1], kMaxLba);
        if (!lba) {
            std::fprintf(stderr, "LBA must be a 32-bit sector number\n");
            return 2;
        }
    } else if (command != "capacity" || args.size() != 1) {
        return Usage();
    }

    if ((drive ? OpenUsbMassStorageDevice(*drive) : OpenUsbEMMCDevice()) != 0) {
        std::fprintf(stderr, "cannot open the %s\n", drive ? "drive" : "eMMC disk");
        return 1;
    }
    int rc = 0;
    if (command == "capacity") {
        rc = Capacity();
    } else if (command == "read") {
        rc = Read(static_cast<unsigned long>(*lba), *count, args[3]);
    } else {
        rc = Write(static_cast<unsigned long>(*lba), args[2]);
    }
    CloseUsbEMMCDevice();
    return rc;
}
