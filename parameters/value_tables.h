// The value lists of the parameter combo boxes, in the order of their items, with their defaults,
// and the mappings between their indices and the values the module uses.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace parameters {

struct ValueTable {
    const char* name;  // the parameter
    int id;            // the combo box (main window)
    std::span<const char* const> items;
    int defaultIndex;

    // Index of the item whose text equals text exactly (case-sensitive); -1 when none does.
    int IndexOf(std::string_view text) const;
    // Text of item index; empty for -1 or an index out of range.
    std::string TextAt(int index) const;
};

extern const ValueTable kBaudTable;
extern const ValueTable kTypeTable;
extern const ValueTable kNetModeTable;
extern const ValueTable kSimTable;
extern const ValueTable kSerialTypeTable;
extern const ValueTable kLogLevelTable;

// The six tables in the order in which the main window fills its combo boxes.
extern const ValueTable* const kValueTables[6];

// Type combo index -> AT+DTUMODE argument: "0" for TCP and UDP, "2" MQTT, "1" HTTP(S); empty for
// no selection.
std::string DtuModeForTypeIndex(int index);
// The reported working mode -> Type combo index: 1 HTTP(S), 2 MQTT, anything else TCP.
int TypeIndexForDtuMode(int mode);
// Network-mode combo index -> AT+CNMP argument ("13", "38", "2"); empty for no selection.
std::string CnmpForNetModeIndex(int index);
// A CNMP answer -> network-mode combo index; -1 (no selection) for any other text.
int NetModeIndexForCnmp(std::string_view answer);
// An IMSI -> SIM combo index: 0 for a telecom card (46003, 46011), 1 otherwise; -1 leaves the
// selection unchanged (an IMSI shorter than five characters).
int SimIndexForImsi(std::string_view imsi);
// The read DTUCFG answer -> serial-type index: 1 ("485") when it contains "0,500,1", else 0
// ("232") when it contains "0,500,0", else -1.
int SerialTypeIndexForAnswer(std::string_view answer);

}  // namespace parameters
