#include "parameters/value_tables.h"

#include "parameters/parameter_ids.h"

namespace parameters {

namespace {

const char* const kBaudItems[] = {"300",   "600",   "1200",   "2400",   "4800",   "9600",  "19200",
                                  "38400", "57600", "115200", "230400", "460800", "921600"};
const char* const kTypeItems[] = {"TCP", "UDP", "MQTT", "HTTP(S)"};
const char* const kNetModeItems[] = {"2G", "4G", "AUTO"};
const char* const kSimItems[] = {"电信卡", "非电信卡"};
const char* const kSerialTypeItems[] = {"232", "485"};
const char* const kLogLevelItems[] = {"1", "2"};
const char* const kCnmpValues[] = {"13", "38", "2"};

}  // namespace

const ValueTable kBaudTable{"BaudRate", marlinq::IDC_COMBO_BAUDRATE, kBaudItems, 9};
const ValueTable kTypeTable{"SockType", marlinq::IDC_COMBO_TYPE, kTypeItems, 0};
const ValueTable kNetModeTable{"NetMode", marlinq::IDC_COMBO_NETMODE, kNetModeItems, 2};
const ValueTable kSimTable{"SimType", marlinq::IDC_COMBO_SIMTYPE, kSimItems, 1};
const ValueTable kSerialTypeTable{"SerialType", marlinq::IDC_COMBO_SERIAL_TYPE, kSerialTypeItems, 0};
const ValueTable kLogLevelTable{"LogLevel", marlinq::IDC_COMBO_LOGLEVEL, kLogLevelItems, 0};

const ValueTable* const kValueTables[6] = {&kBaudTable, &kNetModeTable,    &kLogLevelTable,
                                           &kSimTable,  &kSerialTypeTable, &kTypeTable};

int ValueTable::IndexOf(std::string_view text) const {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (text == items[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string ValueTable::TextAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
        return {};
    }
    return items[static_cast<std::size_t>(index)];
}

std::string DtuModeForTypeIndex(int index) {
    switch (index) {
        case 0:
        case 1:
            return "0";
        case 2:
            return "2";
        case 3:
            return "1";
        default:
            return {};
    }
}

int TypeIndexForDtuMode(int mode) {
    return mode == 1 ? 3 : mode == 2 ? 2 : 0;
}

std::string CnmpForNetModeIndex(int index) {
    if (index < 0 || index >= 3) {
        return {};
    }
    return kCnmpValues[index];
}

int NetModeIndexForCnmp(std::string_view answer) {
    for (int i = 0; i < 3; ++i) {
        if (answer == kCnmpValues[i]) {
            return i;
        }
    }
    return -1;
}

int SimIndexForImsi(std::string_view imsi) {
    if (imsi.size() < 5) {
        return -1;
    }
    const std::string_view mccMnc = imsi.substr(0, 5);
    return mccMnc == "46003" || mccMnc == "46011" ? 0 : 1;
}

int SerialTypeIndexForAnswer(std::string_view answer) {
    if (answer.find("0,500,1") != std::string_view::npos) {
        return 1;
    }
    if (answer.find("0,500,0") != std::string_view::npos) {
        return 0;
    }
    return -1;
}

}  // namespace parameters
