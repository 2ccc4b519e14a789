// The parameter file's fingerprint: SHA-256 against the published test vectors.
#include "records/sha256.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

TEST(Sha256, MatchesThePublishedTestVectors) {
    EXPECT_EQ(records::Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(records::Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(records::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(records::Sha256Hex(
                  "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklm"
                  "nopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
}

TEST(Sha256, AFileIsHashedInBlocksToTheSameDigest) {
    const auto path = std::filesystem::temp_directory_path() / ("marlinq-sha-" + std::to_string(::getpid()));
    {
        // A million 'a': the long published vector, and more than one read block.
        std::ofstream out(path, std::ios::binary);
        out << std::string(1000000, 'a');
    }
    std::string hex;
    std::string error;
    ASSERT_TRUE(records::FileSha256Hex(path.string(), &hex, &error)) << error;
    EXPECT_EQ(hex, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    std::filesystem::remove(path);
}

TEST(Sha256, AMissingFileIsNamedInTheError) {
    std::string hex;
    std::string error;
    const auto path = std::filesystem::temp_directory_path() / "marlinq-no-such-parameter-file.xml";
    EXPECT_FALSE(records::FileSha256Hex(path.string(), &hex, &error));
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_TRUE(hex.empty());
}

}  // namespace
