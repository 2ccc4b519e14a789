#include "parameters/parameter_controls.h"

#include "parameters/parameter_ids.h"
#include "parameters/parameter_table.h"
#include "parameters/value_tables.h"

namespace parameters {

using namespace marlinq;

void InitParameterControls(fw::IControlAccess& main) {
    for (const ValueTable* table : kValueTables) {
        for (const char* item : table->items) {
            main.AddString(table->id, item);
        }
        main.SetCurSel(table->id, table->defaultIndex);
    }
    Tick(main, IDC_RADIO_AT, true);
    Tick(main, IDC_RADIO_ADB, false);
    SetStartValues(IDD_MARLINQ_DIALOG, main);
}

void SetStartValues(unsigned dialog, fw::IControlAccess& controls) {
    for (const ParameterRow* row : RowsFlagged(kSetAtStart)) {
        if (row->dialog != dialog) {
            continue;
        }
        if (row->kind == ParamKind::Check) {
            Tick(controls, row->id, std::string_view(row->defaultValue) == "1");
        } else if (row->kind == ParamKind::Edit) {
            controls.SetWindowText(row->id, row->defaultValue);
        }
    }
}

namespace {

// Shows value on row's control as the module reports it: an edit's text, the combo item of that
// text (none when no item has it), a box ticked for "1", a radio pair's "on" button for "1" and
// its "off" button otherwise.
void ShowRecordValue(fw::IControlAccess& controls, const ParameterRow& row, const std::string& value) {
    const bool on = value == "1";
    switch (row.kind) {
        case ParamKind::Edit:
            controls.SetWindowText(row.id, value);
            break;
        case ParamKind::Combo:
            controls.SetCurSel(row.id, row.values != nullptr ? row.values->IndexOf(value) : -1);
            break;
        case ParamKind::Check:
            Tick(controls, row.id, on);
            break;
        case ParamKind::RadioPair:
            Tick(controls, row.id, on);
            Tick(controls, row.offId, !on);
            break;
        case ParamKind::Fixed:
            break;
    }
}

}  // namespace

void ApplyDtuCfgRecord(fw::IControlAccess& main, fw::IControlAccess& tcp, const DtuCfgRecord& record) {
    // In table order; the reset time last, shown in minutes.
    const ParameterRow* resetTime = nullptr;
    for (const ParameterRow& row : ParameterTable()) {
        if (row.recordField < 0) {
            continue;
        }
        const auto field = static_cast<RecordField>(row.recordField);
        if (field == RecordField::ResetTime) {
            resetTime = &row;
            continue;
        }
        ShowRecordValue(row.dialog == IDD_MARLINQ_DIALOG ? main : tcp, row, record.Get(field));
    }
    if (resetTime != nullptr) {
        tcp.SetWindowText(resetTime->id, ResetTimeMinutesText(record.Get(RecordField::ResetTime)));
    }
}

}  // namespace parameters
