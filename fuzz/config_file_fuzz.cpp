// Loads arbitrary bytes as a parameter file. A refused file leaves the values untouched; a read
// one holds valid UTF-8 only, writes back as a document that reads to the same values, and that
// document is a fixed point of writing. The read values are then applied to a set of controls as
// LoadXmlConfig does and gathered again as SaveXmlConfig does: every edit shows its value, cut to
// its record field where the value travels through one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "configfile/config_document.h"
#include "configfile/config_xml.h"
#include "configfile/xml_text.h"
#include "fuzz/fuzz_check.h"
#include "parameters/dtucfg_record.h"
#include "parameters/parameter_table.h"
#include "parameters/value_tables.h"

using fuzzcheck::Check;

namespace {

// The controls of one dialog in memory; combo boxes hold the items of their value table.
class MemoryControls : public fw::IControlAccess {
  public:
    explicit MemoryControls(unsigned dialog) {
        for (const auto& row : parameters::ParameterTable()) {
            if (row.dialog == dialog && row.values != nullptr) {
                for (const char* item : row.values->items) {
                    m_items[row.id].push_back(item);
                }
                m_sel[row.id] = row.values->defaultIndex;
            }
        }
    }
    std::string GetWindowText(int id) const override {
        const int sel = GetCurSel(id);
        return sel >= 0 ? GetLBText(id, sel) : Find(m_text, id, std::string());
    }
    void SetWindowText(int id, const std::string& text) override { m_text[id] = text; }
    int GetCheck(int id) const override { return Find(m_check, id, 0); }
    void SetCheck(int id, int check) override { m_check[id] = check; }
    int GetCurSel(int id) const override { return Find(m_sel, id, -1); }
    void SetCurSel(int id, int index) override {
        Check(index >= -1 && index < GetCount(id));
        m_sel[id] = index;
    }
    void SelectItemText(int, const std::string&) override {}
    int GetCount(int id) const override { return static_cast<int>(Find(m_items, id, {}).size()); }
    std::string GetLBText(int id, int index) const override {
        const auto items = Find(m_items, id, {});
        return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)]
                                                                    : std::string();
    }
    void AddString(int, const std::string&) override {}
    void ResetContent(int) override {}
    fw::BOOL IsWindowEnabled(int) const override { return fw::TRUE; }
    void EnableWindow(int, bool) override {}
    void ShowWindow(int, bool) override {}
    void FocusAtEnd(int) override {}
    void SetIcon(int, int) override {}

  private:
    template <class M>
    static typename M::mapped_type Find(const M& map, int id, typename M::mapped_type fallback) {
        const auto it = map.find(id);
        return it != map.end() ? it->second : fallback;
    }
    std::map<int, std::string> m_text;
    std::map<int, int> m_check;
    std::map<int, int> m_sel;
    std::map<int, std::vector<std::string>> m_items;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace configfile;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ConfigValues values;
    values[0] = "untouched";
    if (ParseConfigDocument(bytes, &values) != ConfigReadOutcome::kRead) {
        Check(values[0] == "untouched");
        return 0;
    }
    const std::string document = WriteConfigDocument(values);
    ConfigValues again;
    Check(ParseConfigDocument(document, &again) == ConfigReadOutcome::kRead);
    for (std::size_t i = 0; i < values.size(); ++i) {
        Check(IsValidUtf8(values[i]));
        if (ConfigLeaves()[i].fixedValue == nullptr) {
            Check(again[i] == XmlSafeText(values[i]));
        } else {
            Check(values[i].empty());
        }
    }
    Check(WriteConfigDocument(again) == document);

    MemoryControls main(102), tcp(132), mqtt(133);
    CConfigXml xml(
        {main, tcp, mqtt}, [](const std::string&) {}, [](const std::string&) {});
    xml.ApplyValues(values);
    const ConfigValues shown = xml.GatherValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const parameters::ParameterRow& row = *ConfigLeaves()[i].row;
        if (row.kind != parameters::ParamKind::Edit) {
            continue;
        }
        const bool cut =
            row.recordField >= 0 && row.recordField != static_cast<int>(parameters::RecordField::ResetTime);
        const std::string expected =
            cut ? parameters::CutToField(values[i],
                                         parameters::kRecordWidths[static_cast<std::size_t>(row.recordField)])
                : values[i];
        Check(shown[i] == expected);
        Check(IsValidUtf8(shown[i]));
    }
    return 0;
}
