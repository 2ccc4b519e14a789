// The parameter set as data: one row per parameter with its control, kind, default, the AT command
// and argument field that carry it (its place in the DTUCFG argument list and in the DtuCfgRecord
// among them), and its Config.xml element. The flows, the Config.xml reader and writer and
// marlinq-cli's --set all read this table, so a control id, a default or a field is written once.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace parameters {

struct ValueTable;

enum class ParamKind {
    Edit,       // the edit's text
    Combo,      // the text of the selected item; empty when none is selected
    Check,      // "1" when ticked, else "0"
    RadioPair,  // two radio buttons: id is the "Enable" button, offId the "Disable" button
    Fixed,      // no control: a Config.xml leaf with a constant value, ignored when read
};

enum ParamFlags : unsigned {
    kNoFlags = 0,
    kReadOnly = 1,     // shown from the module only (versions, serial type); never sent
    kDigits = 2,       // the edit takes digits only
    kAction = 4,       // a check box whose click runs an action and carries no value
    kOneWhenOff = 8,   // radio pair: its command carries "1" when the off button is ticked, else "0"
    kHexPrefix = 16,   // the box that makes the DTUCFG beat text hex ("0X" in front)
    kSetAtStart = 32,  // the window's start sets the control to its default
};

// The AT set commands besides DTUCFG (whose fields are ParameterRow::dtuCfgField).
enum class AtCommand {
    None,
    DtuMode,       // the working mode, by the index of the Type item
    MultiSockCfg,  // servers 2..4
    ModbusCfg,
    ModbusCmd,  // commands 1..5
    Host,       // instance 1 the address form, instance 2 the port form
    MqttCfg,
    SubTopic,
    PubTopic,
    Cnmp,  // by the index of the network-mode item
    Apn,
    Auth,  // field 1 the user name, field 2 the password; the forms order them their own way
};

// Where a parameter travels besides DTUCFG.
struct Carrier {
    AtCommand command = AtCommand::None;
    // The 1-based field of the command's argument; 0 for the control that decides whether the
    // command is sent (a check box) or in which form (the SIM type).
    int field = 0;
    // Which of several commands of the kind (server, MODBUS command, HOST form); 0 when there is
    // one, and for a control that decides for every instance.
    int instance = 0;
};

// What a value must be before a command may carry it. Every text that is sent holds no control
// character (C0 or DEL) and no double quote; the bounds below add to that.
struct ValueBounds {
    unsigned maxBytes = 0;  // a text sent to the module: at most this many bytes; 0 when none is sent
    bool number = false;    // a whole decimal number (digits only) in min..max; empty is sent as empty
    long min = 0;
    long max = 0;
    bool joined = false;  // joined with other fields by commas: no comma
};

struct ParameterRow {
    const char* name;
    unsigned dialog;  // template id of the dialog that holds the control; 0 for Fixed
    int id;           // control id within that dialog; 0 for Fixed
    ParamKind kind;
    const char* defaultValue;        // as the control shows it at start; "" for a radio pair: none ticked
    int offId = 0;                   // RadioPair: the "Disable" button
    int dtuCfgField = 0;             // 1..17 in the DTUCFG argument list; 0 when not carried
    int recordField = -1;            // index into DtuCfgRecord; -1 when not carried
    const char* xmlGroup = nullptr;  // Config.xml group; nullptr when the file does not carry it
    const char* xmlElement = nullptr;
    const ValueTable* values = nullptr;  // Combo: its value list
    unsigned flags = kNoFlags;
    ValueBounds bounds = {};
    Carrier carrier = {};
    int countedIn = 0;   // the DTUCFG field (15 servers, 16 MODBUS commands) that counts the ticked box
    int countIndex = 0;  // 1-based: which server or MODBUS command the box enables
};

// How a parameter travels in Config.xml, by kind:
//   Edit: the text as typed. Combo: the selected item's text, empty when none.
//   Check: "1" when ticked, else "0"; reading "1" ticks, any other text unticks.
//   RadioPair: "0" when offId is ticked, else "1"; reading "1" ticks id and unticks offId, any
//   other text ticks offId and unticks id.
//   Fixed: defaultValue always; ignored when read.

// Every row. The rows that Config.xml carries come first, in the order of the file.
std::span<const ParameterRow> ParameterTable();

// The 32 leaves of Config.xml in file order (their groups are contiguous in this order).
std::vector<const ParameterRow*> ConfigXmlLeaves();
// The Config.xml groups in file order.
std::vector<const char*> ConfigXmlGroups();

// The row of control id in dialog; nullptr when that control carries no parameter. For a radio
// pair both buttons find the row.
const ParameterRow* FindParameter(unsigned dialog, int id);
// The row of the parameter name in dialog (names repeat between dialogs, e.g. "Password").
const ParameterRow* FindParameterByName(unsigned dialog, std::string_view name);

// The rows that command carries, in argument order (field 1 first); instance picks one command of
// a kind.
std::vector<const ParameterRow*> CommandFields(AtCommand command, int instance = 0);
// The control that decides whether (or how) command instance is sent; nullptr when none does.
const ParameterRow* CommandSwitch(AtCommand command, int instance = 0);
// The instances of a command kind that carry a field, ascending (servers 2, 3, 4).
std::vector<int> CommandInstances(AtCommand command);
// The row carried in DTUCFG field (1..17); nullptr for a computed field.
const ParameterRow* DtuCfgFieldRow(int field);
// The rows that have every flag of flags, in table order.
std::vector<const ParameterRow*> RowsFlagged(unsigned flags);

}  // namespace parameters
