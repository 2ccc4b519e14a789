#include "cli/options.h"

#include <cerrno>
#include <cstdlib>

namespace marlinq::cli {

namespace {

bool WholeNumber(const std::string& text, long min, long max, long* value) {
    if (text.empty() || text.front() == ' ' || text.front() == '+') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || v < min || v > max) {
        return false;
    }
    *value = v;
    return true;
}

}  // namespace

bool ParseArgs(const Args& args, const std::vector<OptionSpec>& specs, ParsedArgs* parsed,
               std::string* error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            parsed->rest.push_back(arg);
            continue;
        }
        const OptionSpec* spec = nullptr;
        for (const auto& s : specs) {
            spec = arg == s.name ? &s : spec;
        }
        if (spec == nullptr) {
            *error = "unknown option " + arg;
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = arg + " needs a value";
            return false;
        }
        long value = 0;
        if (!WholeNumber(args[i + 1], spec->min, spec->max, &value)) {
            *error = arg + " needs a whole number from " + std::to_string(spec->min) + " to " +
                     std::to_string(spec->max) + ", not \"" + args[i + 1] + "\"";
            return false;
        }
        parsed->values[arg] = value;
        ++i;
    }
    return true;
}

}  // namespace marlinq::cli
