#include "mounts_linux.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::size_t kMaxLine = 4096;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsPartitionOf(std::string_view source, std::string_view diskNode) {
    if (!source.starts_with(diskNode)) {
        return false;
    }
    const std::string_view rest = source.substr(diskNode.size());
    return std::all_of(rest.begin(), rest.end(), IsDigit);
}

// The next blank-separated field of line, advancing it.
std::string_view NextField(std::string_view& line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    std::string_view field = line.substr(0, end);
    line.remove_prefix(end);
    return field;
}

}  // namespace

std::string UnescapeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
            field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

std::vector<std::string> MountPointsOfDisk(std::string_view mountsText, std::string_view diskNode) {
    std::vector<std::string> points;
    if (diskNode.empty()) {
        return points;
    }
    while (!mountsText.empty()) {
        const std::size_t end = std::min(mountsText.find('\n'), mountsText.size());
        std::string_view line = mountsText.substr(0, end);
        mountsText.remove_prefix(std::min(end + 1, mountsText.size()));
        if (line.size() > kMaxLine) {
            continue;
        }
        const std::string source = UnescapeMountField(NextField(line));
        const std::string_view target = NextField(line);
        if (!target.empty() && IsPartitionOf(source, diskNode)) {
            points.push_back(UnescapeMountField(target));
        }
    }
    return points;
}

}  // namespace tarnwick
