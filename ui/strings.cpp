#include "ui/strings.h"

#include "ui/resource.h"

namespace marlinq {

std::string LoadString(unsigned id) {
    switch (id) {
        case IDS_ABOUTBOX:
            return "About Marlinq(&A)...";
        case IDS_HELP:
            return "Help(&H)";
        default:
            return {};
    }
}

}  // namespace marlinq
