#include "records/sha256.h"

#include <nettle/sha2.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace records {

namespace {

std::string Hex(const std::uint8_t* digest, std::size_t length) {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xF];
    }
    return hex;
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
    sha256_ctx ctx;
    sha256_init(&ctx);
    sha256_update(&ctx, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&ctx, sizeof digest, digest);
    return Hex(digest, sizeof digest);
}

bool FileSha256Hex(const std::string& path, std::string* hex, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    sha256_ctx ctx;
    sha256_init(&ctx);
    char block[65536];
    while (in) {
        in.read(block, sizeof block);
        const auto got = in.gcount();
        if (got > 0) {
            sha256_update(&ctx, static_cast<std::size_t>(got), reinterpret_cast<const std::uint8_t*>(block));
        }
    }
    if (in.bad()) {
        *error = "cannot read " + path + ": the read failed";
        return false;
    }
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&ctx, sizeof digest, digest);
    *hex = Hex(digest, sizeof digest);
    return true;
}

}  // namespace records
