#include "manual/reference_page.h"

#include <set>
#include <sstream>

#include "parameters/dtucfg_record.h"
#include "parameters/module_check.h"
#include "parameters/parameter_ids.h"
#include "parameters/parameter_names.h"
#include "parameters/parameter_table.h"
#include "parameters/value_tables.h"
#include "ui/templates.h"

namespace manual {

namespace {

using parameters::ParameterRow;
using parameters::ParamKind;

struct Page {
    unsigned dialog;
    const char* title;
    const char* anchor;
    const char* intro;
};

// The pages in the order of the window: the main window first, then the tabs left to right, then
// the leaves that only the parameter file holds.
const Page kPages[] = {
    {marlinq::IDD_MARLINQ_DIALOG, "Main window", "main",
     "The left column of the window: the module's versions, the serial and cellular basics, and the "
     "check box under the AT console that chooses how much Download sends."},
    {marlinq::IDD_TCP_MODE, "TCP/UDP Mode page", "tcp",
     "The socket servers the module connects to, and the packets and timers of its TCP or UDP "
     "link. Most of this page travels in the one AT+DTUCFG command."},
    {marlinq::IDD_MODBUS_MODE, "MODBUS Mode page", "modbus",
     "MODBUS polling: the module sends up to five commands to the device on its serial line at a "
     "fixed cycle and forwards the answers. Get does not read this page back, and the parameter file "
     "does not hold it."},
    {marlinq::IDD_HTTPS_MODE, "HTTPS Mode page", "https",
     "The HTTPS server of the module. Get does not read this page back, and the parameter file does "
     "not hold it."},
    {marlinq::IDD_MQTT_MODE, "MQTT Mode page", "mqtt",
     "The MQTT broker, the module's client identity and its topics. Get does not read this page back; "
     "the parameter file holds it."},
    {0, "Parameter file only", "file",
     "Leaves of the parameter file that no control shows: they are written with a fixed value and "
     "ignored when a file is read."},
};

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The parameter's page and name joined by separator: "130:ServerIP", "file:Version".
std::string Qualified(const ParameterRow& row, char separator) {
    return (row.dialog == 0 ? std::string("file") : std::to_string(row.dialog)) + separator + row.name;
}

// The key of a parameter's description in parameters.txt.
std::string Key(const ParameterRow& row) {
    return Qualified(row, ':');
}

// The id of a parameter's entry on the reference page.
std::string Anchor(const ParameterRow& row) {
    return Qualified(row, '-');
}

// The label as the window shows it: the static text before the control without its colon, or the
// caption of a check box or radio button.
std::string StripColon(std::string text) {
    for (const char* colon : {"\xEF\xBC\x9A", ":"}) {  // full-width and plain colon
        const std::string c = colon;
        if (text.size() >= c.size() && text.compare(text.size() - c.size(), c.size(), c) == 0) {
            text.erase(text.size() - c.size());
        }
    }
    return text;
}

const fw::ControlTemplate* ControlOf(unsigned dialog, int id) {
    const fw::DialogTemplate* d = marlinq::Templates().FindTemplate(dialog);
    return d != nullptr ? d->Find(id) : nullptr;
}

std::string GroupOf(unsigned dialog, int id) {
    const fw::DialogTemplate* d = marlinq::Templates().FindTemplate(dialog);
    const fw::ControlTemplate* c = d != nullptr ? d->Find(id) : nullptr;
    if (c == nullptr || c->group < 0 || static_cast<std::size_t>(c->group) >= d->groups.size()) {
        return {};
    }
    return d->groups[static_cast<std::size_t>(c->group)].caption;
}

std::string Label(const ParameterRow& row) {
    const fw::ControlTemplate* c = ControlOf(row.dialog, row.id);
    if (c == nullptr) {
        return {};
    }
    if (row.kind == ParamKind::RadioPair) {
        const fw::ControlTemplate* off = ControlOf(row.dialog, row.offId);
        const std::string group = GroupOf(row.dialog, row.id);
        return (group.empty() ? std::string() : group + ": ") + c->caption + " / " +
               (off != nullptr ? off->caption : std::string());
    }
    if (!c->label.empty()) {
        return StripColon(c->label);
    }
    return c->caption;
}

bool Hidden(const ParameterRow& row) {
    const fw::ControlTemplate* c = ControlOf(row.dialog, row.id);
    return c != nullptr && (c->style & fw::kHidden) != 0;
}

std::string AllowedValues(const ParameterRow& row, const Description& words) {
    std::ostringstream out;
    const fw::ControlTemplate* c = ControlOf(row.dialog, row.id);
    switch (row.kind) {
        case ParamKind::Combo: {
            out << "One of ";
            const auto& items = row.values->items;
            for (std::size_t i = 0; i < items.size(); ++i) {
                out << (i == 0                  ? ""
                        : i + 1 == items.size() ? " or "
                                                : ", ")
                    << "<code>" << Escape(items[i]) << "</code>";
            }
            out << ".";
            break;
        }
        case ParamKind::Check:
            out << "Ticked (<code>1</code>) or not (<code>0</code>).";
            break;
        case ParamKind::RadioPair:
            out << "Enable (<code>1</code>) or Disable (<code>0</code>); neither is ticked until Get, a "
                   "parameter file or you choose one.";
            break;
        case ParamKind::Fixed:
            out << "Always <code>" << Escape(row.defaultValue) << "</code>.";
            break;
        case ParamKind::Edit:
            out << ((row.flags & parameters::kDigits) != 0 ? "Digits only." : "Text.");
            if (c != nullptr && !c->suffix.empty() && (c->suffixStyle & fw::kHidden) == 0) {
                out << " The window's hint: <i>" << Escape(c->suffix) << "</i>.";
            }
            break;
    }
    if (!words.values.empty()) {
        out << " " << words.values;
    }
    return out.str();
}

std::string DefaultText(const ParameterRow& row) {
    switch (row.kind) {
        case ParamKind::Check:
            return std::string(row.defaultValue) == "1" ? "ticked" : "not ticked";
        case ParamKind::RadioPair:
            return "neither button ticked";
        default:
            return *row.defaultValue == '\0' ? std::string("empty")
                                             : "<code>" + Escape(row.defaultValue) + "</code>";
    }
}

std::string CarrierText(const ParameterRow& row, const Description& words) {
    if (row.dtuCfgField > 0) {
        std::string text = "<code>AT+DTUCFG</code>, field " + std::to_string(row.dtuCfgField) + " of 17";
        if (row.recordField >= 0) {
            const std::size_t width = parameters::kRecordWidths[static_cast<std::size_t>(row.recordField)];
            text += "; Get keeps at most " + std::to_string(width - 1) + " bytes of it";
        }
        text += ".";
        if (!words.at.empty()) {
            text += " " + words.at;
        }
        return text;
    }
    return words.at;
}

std::string FileText(const ParameterRow& row) {
    if (row.xmlElement == nullptr) {
        return "Not in the parameter file.";
    }
    return std::string("<code>&lt;") + row.xmlGroup + "&gt;&lt;" + row.xmlElement + "&gt;</code>";
}

void WriteParameter(std::ostream& out, const ParameterRow& row, const Description& words) {
    const std::string label = Label(row);
    out << "<div class=\"param\" id=\"" << Anchor(row) << "\">\n<h3>" << Escape(row.name);
    if (!label.empty() && label != row.name) {
        out << " <span class=\"label\">&ldquo;" << Escape(label) << "&rdquo;</span>";
    }
    out << "</h3>\n<p>" << words.meaning << "</p>\n<table class=\"facts\">\n";
    if (row.dialog != 0) {
        const std::string group =
            row.kind == ParamKind::RadioPair ? std::string() : GroupOf(row.dialog, row.id);
        out << "<tr><th>Where</th><td>"
            << (group.empty() ? "" : "group &ldquo;" + Escape(group) + "&rdquo;, ") << "control " << row.id;
        if (row.kind == ParamKind::RadioPair) {
            out << " (Enable) and " << row.offId << " (Disable)";
        }
        out << (Hidden(row) ? "; hidden in this version of the window" : "") << "</td></tr>\n";
    }
    out << "<tr><th>Values</th><td>" << AllowedValues(row, words) << "</td></tr>\n";
    if (row.kind != ParamKind::Fixed) {
        out << "<tr><th>At start</th><td>" << DefaultText(row) << "</td></tr>\n";
    }
    if (!words.module.empty()) {
        out << "<tr><th>The module</th><td>" << words.module << "</td></tr>\n";
    }
    const std::string carrier = CarrierText(row, words);
    out << "<tr><th>AT command</th><td>" << (carrier.empty() ? "None." : carrier) << "</td></tr>\n";
    out << "<tr><th>Parameter file</th><td>" << FileText(row) << "</td></tr>\n";
    if (row.dialog != 0 && (row.flags & (parameters::kReadOnly | parameters::kAction)) == 0) {
        const std::string name = parameters::ParameterName(row);
        out << "<tr><th>Command line</th><td><code>--set " << name << "=VALUE</code>";
        if (row.kind == ParamKind::RadioPair) {
            out << " (<code>" << name << "=1</code> ticks Enable, <code>" << name
                << "=0</code> ticks Disable)";
        }
        out << "; by number <code>--set " << row.dialog << ":" << row.id << "=VALUE</code>";
        if (row.kind == ParamKind::RadioPair) {
            out << " (<code>" << row.dialog << ":" << row.offId << "=1</code> ticks Disable)";
        }
        out << "</td></tr>\n";
    }
    out << "</table>\n</div>\n";
}

void WriteDtuCfgOverview(std::ostream& out) {
    out << "<h2 id=\"dtucfg\">The AT+DTUCFG fields</h2>\n"
           "<p>Download sends most of the TCP/UDP page and the baud rate in one command, "
           "<code>AT+DTUCFG=</code> followed by 17 fields joined by commas; Get reads the same 17 fields "
           "back from the answer <code>+DTUCFG:</code>. The fields, in order:</p>\n"
           "<table class=\"grid\">\n<tr><th>Field</th><th>Parameter</th></tr>\n";
    for (int field = 1; field <= 17; ++field) {
        const std::string name = parameters::DtuCfgFieldName(field);
        std::string cell = Escape(name);
        for (const auto& row : parameters::ParameterTable()) {
            if (row.dtuCfgField == field) {
                cell = "<a href=\"#" + Anchor(row) + "\">" + Escape(name) + "</a>";
            }
        }
        if (field == 11) {
            cell += " (always <code>0</code>)";
        } else if (field == 15) {
            cell += ": the number of ticked Enable Server boxes when it is 2 or more, else <code>0</code>";
        } else if (field == 16) {
            cell +=
                ": the number of ticked Set boxes of the MODBUS page while Enable MODBUS is ticked, else "
                "<code>0</code>";
        } else if (field == 17) {
            cell += ", sent as minutes &times; 12";
        }
        out << "<tr><td>" << field << "</td><td>" << cell << "</td></tr>\n";
    }
    out << "</table>\n";
}

}  // namespace

std::optional<Descriptions> ParseDescriptions(const std::string& text, std::string* error) {
    Descriptions result;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    Description* current = nullptr;
    std::string* lastField = nullptr;
    auto fail = [&](const std::string& why) {
        if (error != nullptr) {
            *error = "line " + std::to_string(number) + ": " + why;
        }
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == ' ' || line[0] == '\t') {
            if (lastField == nullptr) {
                return fail("a continued line without a field before it");
            }
            *lastField += " " + line.substr(line.find_first_not_of(" \t"));
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                return fail("an entry name must be [KEY]");
            }
            const std::string key = line.substr(1, line.size() - 2);
            if (result.count(key) != 0) {
                return fail("a second entry for " + key);
            }
            current = &result[key];
            current->line = number;
            lastField = nullptr;
            continue;
        }
        const auto colon = line.find(':');
        if (current == nullptr || colon == std::string::npos) {
            return fail("expected [KEY] or FIELD: text");
        }
        const std::string field = line.substr(0, colon);
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(" \t") == std::string::npos ? value.size()
                                                                           : value.find_first_not_of(" \t"));
        if (field == "meaning") {
            lastField = &current->meaning;
        } else if (field == "module") {
            lastField = &current->module;
        } else if (field == "at") {
            lastField = &current->at;
        } else if (field == "values") {
            lastField = &current->values;
        } else {
            return fail("unknown field " + field);
        }
        if (!lastField->empty()) {
            return fail("a second " + field + " line");
        }
        *lastField = value;
    }
    return result;
}

std::vector<std::string> ParameterKeys() {
    std::vector<std::string> keys;
    for (const auto& row : parameters::ParameterTable()) {
        keys.push_back(Key(row));
    }
    return keys;
}

std::vector<std::string> CheckDescriptions(const Descriptions& descriptions) {
    std::vector<std::string> faults;
    std::set<std::string> known;
    for (const auto& row : parameters::ParameterTable()) {
        const std::string key = Key(row);
        known.insert(key);
        const auto it = descriptions.find(key);
        if (it == descriptions.end()) {
            faults.push_back(key + ": the parameter has no description");
            continue;
        }
        const Description& d = it->second;
        if (d.meaning.empty()) {
            faults.push_back(key + ": no meaning");
        }
        if (row.dtuCfgField == 0 && d.at.empty()) {
            faults.push_back(key + ": no AT command named (write \"at: None.\" when none carries it)");
        }
    }
    for (const auto& [key, d] : descriptions) {
        if (known.count(key) == 0) {
            faults.push_back(key + " (line " + std::to_string(d.line) + "): no such parameter");
        }
    }
    return faults;
}

std::string ReferencePage(const Descriptions& descriptions) {
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>Parameter reference</title>\n<link rel=\"stylesheet\" "
           "href=\"style.css\">\n</head>\n<body>\n"
           "<p class=\"nav\"><a href=\"index.html\">Contents</a></p>\n"
           "<h1>Parameter reference</h1>\n"
           "<p>Every parameter of the window, page by page, as the tool knows it: the label you see, what it "
           "means, the values it takes, what it holds when the window opens, what the module does with it, "
           "the AT command that carries it to the module, and its place in the parameter file. "
           "This page is made from the tool's own parameter table when the tool is built.</p>\n"
           "<p>Two rules hold for every text you type: a text may not hold a line break, and a text that the "
           "module's command joins with others by commas (the AT+DTUCFG fields, the servers 2 to 4, the "
           "MODBUS "
           "cycle and interval, every MQTT text and topic) may not hold a comma. Download refuses such a "
           "value "
           "before anything is sent and names the parameter; see "
           "<a href=\"trouble.html#refusals\">Download refused</a>.</p>\n<ul>\n";
    for (const Page& page : kPages) {
        out << "<li><a href=\"#" << page.anchor << "\">" << page.title << "</a></li>\n";
    }
    out << "<li><a href=\"#dtucfg\">The AT+DTUCFG fields</a></li>\n</ul>\n";
    for (const Page& page : kPages) {
        out << "<h2 id=\"" << page.anchor << "\">" << page.title << "</h2>\n<p>" << page.intro << "</p>\n";
        for (const auto& row : parameters::ParameterTable()) {
            if (row.dialog == page.dialog) {
                const auto it = descriptions.find(Key(row));
                WriteParameter(out, row, it != descriptions.end() ? it->second : Description{});
            }
        }
    }
    WriteDtuCfgOverview(out);
    out << "</body>\n</html>\n";
    return out.str();
}

std::string ReferenceIndexEntries() {
    std::ostringstream out;
    for (const auto& row : parameters::ParameterTable()) {
        const std::string label = Label(row);
        const std::string keyword = label.empty() || label == row.name
                                        ? std::string(row.name)
                                        : std::string(row.name) + " (" + label + ")";
        out << "<LI> <OBJECT type=\"text/sitemap\">\n<param name=\"Name\" value=\"" << Escape(keyword)
            << "\">\n<param name=\"Local\" value=\"parameters.html#" << Anchor(row) << "\">\n</OBJECT>\n";
    }
    return out.str();
}

}  // namespace manual
