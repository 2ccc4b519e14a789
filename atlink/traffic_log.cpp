#include "atlink/traffic_log.h"

#include <cstdio>

#include "atlink/at_log.h"

namespace atlink {

std::string TrafficLog::Path() {
    return AtLogDirectory() + kAtLogFileName;
}

void TrafficLog::Sent(const std::string& text) const {
    std::FILE* stream = nullptr;
    AppendAtLogLine(Path(), text, false, &stream);
}

void TrafficLog::Received(const std::string& text) const {
    std::FILE* stream = nullptr;
    AppendAtLogLine(Path(), text, true, &stream);
}

void TrafficLog::Note(const std::string& text) const {
    AppendAtLogNote(Path(), text);
}

}  // namespace atlink
