// A folder of the test's own under the temporary folder, removed with everything in it at the end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

namespace testsupport {

class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        std::error_code ec;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto dir =
                std::filesystem::temp_directory_path(ec) /
                ("marlinq-records-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
            if (std::filesystem::create_directory(dir, ec)) {
                m_path = dir;
            }
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

}  // namespace testsupport
