#include "cli/completion_script.h"

#include <iostream>

#include "cli/command_help.h"
#include "cli/failures.h"
#include "cli/options.h"
#include "parameters/parameter_names.h"

namespace marlinq::cli {

namespace {

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& w : words) {
        text += (text.empty() ? "" : " ") + w;
    }
    return text;
}

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const Command& c : CommandList()) {
        names.emplace_back(c.name);
    }
    return names;
}

std::vector<std::string> ParameterNames() {
    std::vector<std::string> names;
    for (const parameters::ParameterRow* row : parameters::NamedParameters()) {
        // What --set cannot change is not offered: a value shown from the module, an action box.
        if ((row->flags & (parameters::kReadOnly | parameters::kAction)) == 0) {
            names.push_back(parameters::ParameterName(*row));
        }
    }
    return names;
}

// The shell lines that fill COMPREPLY for a word of kind; words for a Choice.
std::string Complete(WordKind kind, const std::vector<const char*>& words) {
    switch (kind) {
        case WordKind::File:
            return "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\"))";
        case WordKind::Choice: {
            std::vector<std::string> list(words.begin(), words.end());
            return "COMPREPLY=($(compgen -W \"" + Joined(list) + "\" -- \"$cur\"))";
        }
        case WordKind::Setting:
            return "compopt -o nospace 2>/dev/null; COMPREPLY=($(compgen -W \"$parameters\" -S = -- "
                   "\"$cur\"))";
        case WordKind::CommandName:
            return "COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))";
        default:
            return ":";  // a number or free text: the user's to type
    }
}

}  // namespace

std::string BashCompletionScript() {
    std::string s;
    s += "# bash completion for marlinq-cli, from `marlinq-cli completion bash`.\n";
    s += "_marlinq_cli() {\n";
    s += "    local commands=\"" + Joined(CommandNames()) + "\"\n";
    s += "    local parameters=\"" + Joined(ParameterNames()) + "\"\n";
    s += "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"\" option=\"\" options=\"\" i\n";
    s += "    ((COMP_CWORD > 0)) && prev=\"${COMP_WORDS[COMP_CWORD - 1]}\"\n";
    s += "    COMPREPLY=()\n";
    s += "    if ((COMP_CWORD == 1)); then\n";
    s += "        COMPREPLY=($(compgen -W \"$commands --help --version\" -- \"$cur\"))\n";
    s += "        return 0\n";
    s += "    fi\n";
    s += "    # The shell splits NAME=VALUE at \"=\": a value is the user's to type.\n";
    s += "    [[ \"$prev\" == \"=\" || \"$cur\" == \"=\" ]] && return 0\n";
    s += "    # The value of an option right before this word.\n";
    s += "    case \"$prev\" in\n";
    for (const OptionHelp& o : OptionHelps()) {
        if (o.kind != WordKind::None && o.kind != WordKind::Setting) {
            s += std::string("        ") + o.name + ") " + Complete(o.kind, o.choices) + "; return 0 ;;\n";
        }
    }
    s += "    esac\n";
    s += "    # The nearest option before this word: one that takes settings takes them up to the next.\n";
    s += "    for ((i = COMP_CWORD - 1; i >= 2; i--)); do\n";
    s += "        [[ \"${COMP_WORDS[i]}\" == --* ]] && { option=\"${COMP_WORDS[i]}\"; break; }\n";
    s += "    done\n";
    s += "    case \"$option\" in\n";
    for (const OptionHelp& o : OptionHelps()) {
        if (o.kind == WordKind::Setting) {
            s += std::string("        ") + o.name + ") [[ \"$cur\" != -* ]] && { " + Complete(o.kind, {}) +
                 "; return 0; } ;;\n";
        }
    }
    s += "    esac\n";
    s += "    case \"${COMP_WORDS[1]}\" in\n";
    for (const CommandHelp& c : CommandHelps()) {
        std::vector<std::string> options(c.options.begin(), c.options.end());
        options.emplace_back("--help");
        s += std::string("        ") + c.name + ")\n";
        s += "            options=\"" + Joined(options) + "\"\n";
        if (c.operand == WordKind::None) {
            s += "            ;;\n";  // nothing but options
        } else {
            s += "            [[ \"$cur\" == -* ]] || { " + Complete(c.operand, c.words) +
                 "; return 0; } ;;\n";
        }
    }
    s += "    esac\n";
    s += "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n";
    s += "    return 0\n";
    s += "}\n";
    s += "complete -F _marlinq_cli marlinq-cli\n";
    return s;
}

int RunCompletionCommand(const Args& args) {
    if (args.size() != 1 || args[0] != "bash") {
        return UsageError(
            "completion", "bash",
            args.empty() ? "names the shell: bash" : "knows only bash, not \"" + ShownWord(args[0]) + "\"",
            std::cerr);
    }
    std::cout << BashCompletionScript();
    return std::cout.flush() ? kExitDone : kExitFailed;
}

}  // namespace marlinq::cli
