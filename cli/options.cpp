#include "cli/options.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "cli/failures.h"

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

bool IsOption(const std::string& arg) {
    return arg.rfind("--", 0) == 0;
}

std::string ChoiceList(const std::vector<std::string>& choices) {
    std::string list;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + choices[i];
    }
    return list;
}

// Takes the value of spec from args[*i + 1] on; false with the reason.
bool TakeValue(const Args& args, const OptionSpec& spec, std::size_t* i, ParsedArgs* parsed,
               std::string* error) {
    const std::string& name = spec.name;
    if (spec.kind == OptionKind::Flag) {
        parsed->values[name] = 1;
        return true;
    }
    const bool textual = spec.kind != OptionKind::Number;
    if (*i + 1 >= args.size() || (textual && IsOption(args[*i + 1]))) {
        *error = name + " needs a value";
        return false;
    }
    const std::string& value = args[++*i];
    switch (spec.kind) {
        case OptionKind::Number: {
            long number = 0;
            if (!WholeNumber(value, spec.min, spec.max, &number)) {
                *error = name + " needs a whole number from " + std::to_string(spec.min) + " to " +
                         std::to_string(spec.max) + ", not \"" + value + "\"";
                return false;
            }
            parsed->values[name] = number;
            return true;
        }
        case OptionKind::Choice:
            for (std::size_t c = 0; c < spec.choices.size(); ++c) {
                if (value == spec.choices[c]) {
                    parsed->values[name] = static_cast<long>(c);
                    return true;
                }
            }
            *error = name + " takes " + ChoiceList(spec.choices) + ", not \"" + value + "\"";
            return false;
        case OptionKind::Text:
            parsed->texts[name] = {value};
            return true;
        default:
            parsed->texts[name].push_back(value);
            while (*i + 1 < args.size() && !IsOption(args[*i + 1])) {
                parsed->texts[name].push_back(args[++*i]);
            }
            return true;
    }
}

OptionSpec Spec(const std::string& name, OptionKind kind) {
    return OptionSpec{name, kind, 0, 0, {}};
}

}  // namespace

OptionSpec NumberOption(const std::string& name, long min, long max) {
    return OptionSpec{name, OptionKind::Number, min, max, {}};
}
OptionSpec ChoiceOption(const std::string& name, std::vector<std::string> choices) {
    return OptionSpec{name, OptionKind::Choice, 0, 0, std::move(choices)};
}
OptionSpec TextOption(const std::string& name) {
    return Spec(name, OptionKind::Text);
}
OptionSpec TextsOption(const std::string& name) {
    return Spec(name, OptionKind::Texts);
}
OptionSpec FlagOption(const std::string& name) {
    return Spec(name, OptionKind::Flag);
}

long ParsedArgs::Value(const std::string& name, long fallback) const {
    const auto it = values.find(name);
    return it != values.end() ? it->second : fallback;
}

std::string ParsedArgs::Text(const std::string& name) const {
    const auto it = texts.find(name);
    return it != texts.end() && !it->second.empty() ? it->second.front() : std::string();
}

bool ParseArgs(const Args& args, const std::vector<OptionSpec>& specs, ParsedArgs* parsed,
               std::string* error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!IsOption(arg)) {
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
        if (!TakeValue(args, *spec, &i, parsed, error)) {
            return false;
        }
    }
    return true;
}

std::string ShownWord(const std::string& word) {
    // Bounded, so that a word of any length stays one short line.
    constexpr std::size_t kShownBytes = 40;
    std::string shown;
    for (const char c : word.substr(0, kShownBytes)) {
        const auto u = static_cast<unsigned char>(c);
        shown += u < 0x20 || u == 0x7F ? '?' : c;
    }
    return word.size() > kShownBytes ? shown + "..." : shown;
}

int UsageError(const std::string& name, const std::string& arguments, const std::string& why,
               std::ostream& err) {
    err << "marlinq-cli " << name << ": " << why << " (usage: marlinq-cli " << name << " " << arguments
        << ")\n"
        << std::flush;
    return kExitUsage;
}

}  // namespace marlinq::cli
