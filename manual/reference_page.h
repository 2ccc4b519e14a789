// The parameter reference of the operator's manual, made from the parameter table, the value
// tables and the dialog templates, with the words of each parameter taken from a description
// file. A parameter without words, or words for a parameter that does not exist, is an error, so
// the manual cannot drift from the tool.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace manual {

// The words of one parameter: what it means, what the module does with it, and where the AT
// command is not a DTUCFG field, which command carries it.
struct Description {
    std::string meaning;
    std::string module;
    std::string at;
    std::string values;  // extra rules on the values, beyond what the table and the labels say
    int line = 0;        // where the entry starts in the file
};

// Entries are keyed "DIALOG:Name" (for example "132:Port"); parameters of the file only, without
// a control, are keyed "file:Name".
using Descriptions = std::map<std::string, Description>;

// Reads the description file: blocks that start with "[KEY]", then "meaning:", "module:", "at:" and
// "values:" lines; a line that starts with white space continues the previous one; "#" starts a
// comment line. Returns nullopt and sets *error (with the line number) when the text is malformed.
std::optional<Descriptions> ParseDescriptions(const std::string& text, std::string* error);

// The key of every parameter of the table, in table order.
std::vector<std::string> ParameterKeys();

// One line per fault: a parameter without an entry, an entry without a parameter, a missing
// meaning, a missing "at:" where no DTUCFG field carries the parameter, an "at:" where one does.
std::vector<std::string> CheckDescriptions(const Descriptions& descriptions);

// The HTML page of the reference (a whole document, UTF-8).
std::string ReferencePage(const Descriptions& descriptions);

// Index entries (<LI> items of a .hhk file) that point at the parameters of the reference page.
std::string ReferenceIndexEntries();

}  // namespace manual
