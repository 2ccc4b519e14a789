#include "configfile/config_layout.h"

#include <cstdlib>
#include <cstring>

#include "parameters/parameter_table.h"

namespace configfile {

namespace {

struct Layout {
    std::vector<const char*> groups;
    std::vector<ConfigLeaf> leaves;
};

const Layout& TheLayout() {
    static const Layout layout = [] {
        Layout built;
        built.groups = parameters::ConfigXmlGroups();
        for (const parameters::ParameterRow* row : parameters::ConfigXmlLeaves()) {
            std::size_t group = 0;
            while (group < built.groups.size() && std::strcmp(built.groups[group], row->xmlGroup) != 0) {
                ++group;
            }
            const bool fixed = row->kind == parameters::ParamKind::Fixed;
            built.leaves.push_back({group, row->xmlElement, fixed ? row->defaultValue : nullptr, row});
        }
        // The value arrays are sized for the file's fixed shape; a table that disagrees is a
        // programming error caught at the first use.
        if (built.groups.size() != kConfigGroupCount || built.leaves.size() != kConfigLeafCount) {
            std::abort();
        }
        return built;
    }();
    return layout;
}

}  // namespace

const std::vector<const char*>& ConfigGroupNames() {
    return TheLayout().groups;
}

const std::vector<ConfigLeaf>& ConfigLeaves() {
    return TheLayout().leaves;
}

int FindConfigLeaf(std::size_t group, const char* name) {
    const auto& leaves = ConfigLeaves();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].group == group && std::strcmp(leaves[i].name, name) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace configfile
