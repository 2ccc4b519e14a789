// The parameter set as data: one row per parameter with its control, kind, default, place in the
// DTUCFG argument list and in the DtuCfgRecord, and its Config.xml element. The flows, the
// Config.xml reader and writer and marlinq-cli's --set all read this table, so a control id or an
// element name is written once.
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
    kReadOnly = 1,  // shown from the module only (versions, serial type); never sent
    kDigits = 2,    // the edit takes digits only
    kAction = 4,    // a check box whose click runs an action and carries no value
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

}  // namespace parameters
