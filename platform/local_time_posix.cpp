#include "platform/local_time.h"

namespace platform {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm result{};
    localtime_r(&now, &result);
    return result;
}

std::tm UtcTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm result{};
    gmtime_r(&now, &result);
    return result;
}

}  // namespace platform
