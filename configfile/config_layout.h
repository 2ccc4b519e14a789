// The layout of a parameter file: the root, its six groups and their 32 leaves in file order, as
// the parameter table names them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace parameters {
struct ParameterRow;
}

namespace configfile {

inline constexpr std::size_t kConfigGroupCount = 6;
inline constexpr std::size_t kConfigLeafCount = 32;

inline constexpr const char* kConfigRootName = "system";

struct ConfigLeaf {
    std::size_t group;                    // index into ConfigGroupNames()
    const char* name;                     // element name, compared case-sensitively
    const char* fixedValue;               // written as is and never read; null for a parameter's leaf
    const parameters::ParameterRow* row;  // the parameter the leaf carries
};

// Group names in file order.
const std::vector<const char*>& ConfigGroupNames();
// Leaves in file order; the leaves of one group follow each other.
const std::vector<ConfigLeaf>& ConfigLeaves();
// Index of the leaf of that group and name, or -1.
int FindConfigLeaf(std::size_t group, const char* name);

// One text per leaf, indexed like ConfigLeaves(); the entries of fixed leaves are not used.
using ConfigValues = std::array<std::string, kConfigLeafCount>;

}  // namespace configfile
