#include "configfile/config_document.h"

#include <cstdio>
#include <pugixml.hpp>
#include <sstream>

#include "configfile/xml_source.h"
#include "configfile/xml_text.h"
#include "platform/regular_file.h"

namespace configfile {

namespace {

// Fragment mode keeps text outside the root in the tree and the declaration as a node, so that
// both can be checked; the checks below then demand a proper document.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment | pugi::parse_declaration;

std::string Lower(const char* text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool IsText(const pugi::xml_node& node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

bool IsBlank(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

// Visits the nodes below top in document order without recursion; visit(node, level) gets the
// node's nesting level below top (1 for a child) and returns false to stop the walk.
template <typename Visit>
void Walk(const pugi::xml_node& top, Visit visit) {
    pugi::xml_node node = top.first_child();
    std::size_t level = 1;
    while (node) {
        if (!visit(node, level)) {
            return;
        }
        if (node.first_child()) {
            node = node.first_child();
            ++level;
            continue;
        }
        while (!node.next_sibling()) {
            node = node.parent();
            --level;
            if (node == top) {
                return;
            }
        }
        node = node.next_sibling();
    }
}

// The deepest element nesting below top; counting stops once the limit is passed.
std::size_t Depth(const pugi::xml_node& top, std::size_t limit) {
    std::size_t deepest = 0;
    Walk(top, [&](const pugi::xml_node& node, std::size_t level) {
        if (node.type() == pugi::node_element && level > deepest) {
            deepest = level;
        }
        return deepest <= limit;
    });
    return deepest;
}

// All character data inside element, in document order.
std::string TextOf(const pugi::xml_node& element) {
    std::string text;
    Walk(element, [&](const pugi::xml_node& node, std::size_t) {
        if (IsText(node)) {
            text += node.value();
        }
        return true;
    });
    return text;
}

// A document holds exactly one element at its top, no text beside it, and a declaration only as
// its very first node.
bool IsOneDocument(const pugi::xml_document& doc) {
    int elements = 0;
    for (const pugi::xml_node& node : doc.children()) {
        if (node.type() == pugi::node_element) {
            ++elements;
        } else if ((IsText(node) && !IsBlank(node.value())) ||
                   (node.type() == pugi::node_declaration && node != doc.first_child())) {
            return false;
        }
    }
    return elements == 1;
}

}  // namespace

std::string WriteConfigDocument(const ConfigValues& values) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    pugi::xml_node root = doc.append_child(kConfigRootName);
    const auto& groups = ConfigGroupNames();
    const auto& leaves = ConfigLeaves();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        pugi::xml_node group = root.append_child(groups[g]);
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            if (leaves[i].group != g) {
                continue;
            }
            const std::string text =
                leaves[i].fixedValue != nullptr ? std::string(leaves[i].fixedValue) : XmlSafeText(values[i]);
            pugi::xml_node leaf = group.append_child(leaves[i].name);
            if (!text.empty()) {
                leaf.append_child(pugi::node_pcdata).set_value(text.c_str());
            }
        }
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_empty_element_tags, pugi::encoding_utf8);
    return out.str();
}

ConfigReadOutcome ParseConfigDocument(std::string_view bytes, ConfigValues* values,
                                      ConfigReadProblem* problem) {
    ConfigReadProblem ignored;
    ConfigReadProblem& why = problem != nullptr ? *problem : ignored;
    why = ConfigReadProblem{};
    const auto refuse = [&why](ConfigReadOutcome outcome, std::size_t offset, std::string reason) {
        why.outcome = outcome;
        why.offset = offset;
        why.reason = std::move(reason);
        return outcome;
    };
    if (bytes.size() > kMaxConfigFileBytes) {
        return refuse(ConfigReadOutcome::kTooLarge, kNoOffset,
                      "larger than " + std::to_string(kMaxConfigFileBytes) + " bytes");
    }
    std::string text;
    std::size_t base = 0;
    XmlSourceProblem source;
    if (!DecodeXmlSource(bytes, &text, &base, &source) || !CheckXmlText(text, base, &source)) {
        const ConfigReadOutcome outcome =
            source.fault == XmlSourceFault::kNotUtf8              ? ConfigReadOutcome::kNotUtf8
            : source.fault == XmlSourceFault::kDoctype            ? ConfigReadOutcome::kDoctype
            : source.fault == XmlSourceFault::kForbiddenCharacter ? ConfigReadOutcome::kForbiddenCharacter
                                                                  : ConfigReadOutcome::kNotWellFormed;
        return refuse(outcome, source.offset, source.reason);
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        const auto at = static_cast<std::size_t>(parsed.offset);
        return refuse(ConfigReadOutcome::kNotWellFormed, base == kNoOffset ? kNoOffset : base + at,
                      "not well-formed XML" + AtByte(base, at) + " (" + parsed.description() + ")");
    }
    if (!IsOneDocument(doc)) {
        return refuse(ConfigReadOutcome::kNotWellFormed, kNoOffset,
                      "not well-formed XML (not exactly one element at the top, text beside it, or a "
                      "declaration after the start)");
    }
    if (Depth(doc, kMaxConfigDepth) > kMaxConfigDepth) {
        return refuse(ConfigReadOutcome::kTooDeep, kNoOffset,
                      "elements nested deeper than " + std::to_string(kMaxConfigDepth) + " levels");
    }
    const pugi::xml_node root = doc.document_element();
    if (Lower(root.name()) != kConfigRootName) {
        return refuse(
            ConfigReadOutcome::kWrongRoot, kNoOffset,
            "the root element is <" + std::string(root.name()) + ">, not <" + kConfigRootName + ">");
    }
    ConfigValues read;
    const auto& groups = ConfigGroupNames();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const pugi::xml_node group = root.child(groups[g]);
        for (const pugi::xml_node& node : group.children()) {
            if (node.type() != pugi::node_element) {
                continue;
            }
            const int leaf = FindConfigLeaf(g, node.name());
            if (leaf >= 0 && ConfigLeaves()[static_cast<std::size_t>(leaf)].fixedValue == nullptr) {
                read[static_cast<std::size_t>(leaf)] = TextOf(node);
            }
        }
    }
    // The text was checked whole; this guards the values the parser made of it.
    for (const std::string& value : read) {
        if (!IsValidUtf8(value)) {
            return refuse(ConfigReadOutcome::kNotUtf8, kNoOffset, "a value is not UTF-8");
        }
    }
    *values = std::move(read);
    return ConfigReadOutcome::kRead;
}

ConfigReadOutcome ReadConfigFile(const std::string& path, ConfigValues* values, ConfigReadProblem* problem) {
    ConfigReadProblem ignored;
    ConfigReadProblem& why = problem != nullptr ? *problem : ignored;
    why = ConfigReadProblem{};
    platform::RegularFileError error;
    std::FILE* file = platform::OpenRegularFile(path, platform::RegularFileAccess::kRead, &error);
    if (file == nullptr) {
        why.outcome = error.refusedKind != platform::FileKind::kRegular ? ConfigReadOutcome::kNotRegularFile
                                                                        : ConfigReadOutcome::kCannotOpen;
        why.reason = error.text;
        return why.outcome;
    }
    // A file whose size is known to be too large is refused unread; one that grows while being
    // read is refused once one byte past the limit has arrived.
    const std::string tooLarge = "larger than " + std::to_string(kMaxConfigFileBytes) + " bytes";
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > static_cast<long>(kMaxConfigFileBytes)) {
            std::fclose(file);
            why.outcome = ConfigReadOutcome::kTooLarge;
            why.reason = tooLarge;
            return why.outcome;
        }
        std::rewind(file);
    }
    std::string bytes;
    char chunk[16384];
    bool failed = false;
    while (bytes.size() <= kMaxConfigFileBytes) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file);
        if (n == 0) {
            failed = std::ferror(file) != 0;
            break;
        }
        bytes.append(chunk, n);
    }
    std::fclose(file);
    if (failed) {
        why.outcome = ConfigReadOutcome::kCannotOpen;
        why.reason = "the file cannot be read";
        return why.outcome;
    }
    return ParseConfigDocument(bytes, values, &why);
}

}  // namespace configfile
