// What `marlinq-cli help COMMAND` explains and what the completion script offers: each command's
// options with what they take, and what its other words are.
#pragma once

#include <ostream>
#include <span>
#include <string_view>
#include <vector>

namespace marlinq::cli {

// What a word takes: nothing (a flag), a number, a file name, one of some words, a parameter
// setting (NAME=VALUE), a command name, or free text.
enum class WordKind { None, Number, File, Choice, Setting, CommandName, Text };

struct OptionHelp {
    const char* name;   // "--timeout"
    const char* value;  // "S"; empty for a flag
    WordKind kind;
    const char* what;
    std::vector<const char*> choices;  // WordKind::Choice
};

struct CommandHelp {
    const char* name;
    WordKind operand;                // what its words that are not options are; None when it takes none
    std::vector<const char*> words;  // the words an operand of WordKind::Choice takes
    std::vector<const char*> options;
    const char* details;  // lines printed under the usage; may be empty
};

// Every option the commands take, each explained once.
std::span<const OptionHelp> OptionHelps();
const OptionHelp* FindOptionHelp(std::string_view name);

// Every command's help; nullptr for a name without one.
std::span<const CommandHelp> CommandHelps();
const CommandHelp* FindCommandHelp(std::string_view name);

// "usage: marlinq-cli USAGE", the details and each option explained, one per line.
void PrintCommandHelp(const char* usage, const CommandHelp& help, std::ostream& out);

}  // namespace marlinq::cli
