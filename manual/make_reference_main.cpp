// make_reference DESCRIPTIONS PAGE HHK_IN HHK: writes the parameter reference page PAGE and the
// index HHK (HHK_IN with the parameters put in place of the line "<!-- parameters -->").
// Fails, naming each fault, when the descriptions and the parameter table disagree.
#include <fstream>
#include <iostream>
#include <sstream>

#include "manual/reference_page.h"

namespace {

bool ReadAll(const char* path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

bool WriteAll(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: make_reference DESCRIPTIONS PAGE HHK_IN HHK\n";
        return 2;
    }
    std::string text;
    if (!ReadAll(argv[1], &text)) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::string error;
    const auto descriptions = manual::ParseDescriptions(text, &error);
    if (!descriptions) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    const auto faults = manual::CheckDescriptions(*descriptions);
    for (const auto& fault : faults) {
        std::cerr << argv[1] << ": " << fault << "\n";
    }
    if (!faults.empty()) {
        return 1;
    }
    std::string index;
    const std::string marker = "<!-- parameters -->";
    if (!ReadAll(argv[3], &index) || index.find(marker) == std::string::npos) {
        std::cerr << argv[3] << ": cannot be read or holds no line " << marker << "\n";
        return 1;
    }
    index.replace(index.find(marker), marker.size(), manual::ReferenceIndexEntries());
    if (!WriteAll(argv[2], manual::ReferencePage(*descriptions)) || !WriteAll(argv[4], index)) {
        std::cerr << "make_reference: cannot write " << argv[2] << " or " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
