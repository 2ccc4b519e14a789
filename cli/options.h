// The options of marlinq-cli's commands. A missing or malformed value, or an option the command
// does not know, is a usage error found before anything is sent.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace marlinq::cli {

enum class OptionKind {
    Number,  // a whole number from min to max
    Choice,  // one of the choices; its index is the value
    Text,    // one text
    Texts,   // one or more texts up to the next option; given again, the texts add up
    Flag,    // no value
};

struct OptionSpec {
    std::string name;  // "--timeout"
    OptionKind kind;
    long min;
    long max;
    std::vector<std::string> choices;
};

OptionSpec NumberOption(const std::string& name, long min, long max);
OptionSpec ChoiceOption(const std::string& name, std::vector<std::string> choices);
OptionSpec TextOption(const std::string& name);
OptionSpec TextsOption(const std::string& name);
OptionSpec FlagOption(const std::string& name);

struct ParsedArgs {
    std::map<std::string, long> values;                     // Number, Choice (its index), Flag (1)
    std::map<std::string, std::vector<std::string>> texts;  // Text (one), Texts (each in order)
    Args rest;                                              // the arguments that are not options

    bool Has(const std::string& name) const { return values.count(name) != 0 || texts.count(name) != 0; }
    long Value(const std::string& name, long fallback) const;
    std::string Text(const std::string& name) const;  // empty when not given
};

// false (with the reason in *error) on a usage error. A value of Text, Texts or Choice never
// starts with "--": that is the next option, and the value is missing.
bool ParseArgs(const Args& args, const std::vector<OptionSpec>& specs, ParsedArgs* parsed,
               std::string* error);

// word as it may be shown in a message: control bytes as '?', at most 40 bytes and then "...".
std::string ShownWord(const std::string& word);

// Prints "marlinq-cli NAME: WHY (usage: marlinq-cli NAME ARGUMENTS)" as one line on err;
// returns kExitUsage.
int UsageError(const std::string& name, const std::string& arguments, const std::string& why,
               std::ostream& err);

}  // namespace marlinq::cli
