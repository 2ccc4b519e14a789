#include <errno.h>

#include <system_error>

#include "platform/system_error_text.h"

namespace platform {

int LastSystemError() {
    return errno;
}

std::string SystemErrorText(int code) {
    return code == 0 ? std::string() : std::generic_category().message(code);
}

}  // namespace platform
