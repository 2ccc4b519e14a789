// Several simulated modules in one process, as a production line plugs several units into one PC:
// each its own pseudo-terminal, COM number, IMSI, stored parameters and request log.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "simulator/dtu_simulator.h"

namespace sim {

inline constexpr int kMaxRackModules = 32;

// True when text is an IMSI as a module reports it: exactly 15 decimal digits.
bool IsValidImsi(const std::string& text);

// The IMSI of the module at index (from 0) of a rack whose first module has base: base + index
// as a 15-digit number, from 999999999999999 on again at 000000000000000. base must be valid.
std::string NthImsi(const std::string& base, int index);

class ModuleRack {
  public:
    ModuleRack() = default;
    ModuleRack(const ModuleRack&) = delete;
    ModuleRack& operator=(const ModuleRack&) = delete;

    // Starts count (1..kMaxRackModules) modules with options: COM options.com + index when a
    // number is given, else each the first free number from 201 on; IMSIs from baseImsi (empty:
    // the model's own IMSI). False with the reason after stopping those already started.
    bool Start(int count, const SimulatorOptions& options, const std::string& baseImsi, std::string* error);
    void Stop();

    std::size_t Size() const { return m_modules.size(); }
    DtuSimulator& Module(std::size_t index) { return *m_modules.at(index); }
    const DtuSimulator& Module(std::size_t index) const { return *m_modules.at(index); }
    // The IMSI module index was given.
    std::string Imsi(std::size_t index) const { return m_modules.at(index)->Value("CIMI"); }

  private:
    std::vector<std::unique_ptr<DtuSimulator>> m_modules;
};

}  // namespace sim
