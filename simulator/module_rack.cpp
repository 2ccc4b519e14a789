#include "simulator/module_rack.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "simulator/dtu_model.h"

namespace sim {

namespace {

constexpr std::size_t kImsiDigits = 15;
constexpr std::uint64_t kImsiSpan = 1'000'000'000'000'000ULL;  // 10^15

}  // namespace

bool IsValidImsi(const std::string& text) {
    return text.size() == kImsiDigits &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string NthImsi(const std::string& base, int index) {
    std::uint64_t value = 0;
    for (const char c : base.substr(0, kImsiDigits)) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    value = (value + static_cast<std::uint64_t>(std::max(index, 0))) % kImsiSpan;
    std::string out(kImsiDigits, '0');
    for (std::size_t i = kImsiDigits; i-- > 0; value /= 10) {
        out[i] = static_cast<char>('0' + value % 10);
    }
    return out;
}

bool ModuleRack::Start(int count, const SimulatorOptions& options, const std::string& baseImsi,
                       std::string* error) {
    Stop();
    if (count < 1 || count > kMaxRackModules) {
        *error = "the number of modules must be from 1 to " + std::to_string(kMaxRackModules) + ", not " +
                 std::to_string(count);
        return false;
    }
    if (!baseImsi.empty() && !IsValidImsi(baseImsi)) {
        *error = "an IMSI is 15 digits, not \"" + baseImsi + "\"";
        return false;
    }
    const std::string base = baseImsi.empty() ? std::string(kDefaultImsi) : baseImsi;
    for (int i = 0; i < count; ++i) {
        SimulatorOptions one = options;
        one.com = options.com > 0 ? options.com + i : 0;
        one.imsi = NthImsi(base, i);
        auto module = std::make_unique<DtuSimulator>();
        if (!module->Start(one, error)) {
            Stop();
            return false;
        }
        m_modules.push_back(std::move(module));
    }
    return true;
}

void ModuleRack::Stop() {
    for (auto& module : m_modules) {
        module->Stop();
    }
    m_modules.clear();
}

}  // namespace sim
