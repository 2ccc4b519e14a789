// Control access that notes which controls were written through it. A Get that fails part-way
// leaves the controls its failed reads would have set as they were; the ids noted here tell the
// values a read placed from those it left untouched, also when a value read equals the one shown.
#pragma once

#include <set>
#include <string>

#include "framework/control_access.h"

namespace parameters {

class WrittenControls : public fw::IControlAccess {
  public:
    explicit WrittenControls(fw::IControlAccess& controls) : m_controls(controls) {}

    // The ids written since the last Forget, whether or not the value changed.
    const std::set<int>& Written() const { return m_written; }
    bool WasWritten(int id) const { return m_written.count(id) != 0; }
    void Forget() { m_written.clear(); }

    std::string GetWindowText(int id) const override { return m_controls.GetWindowText(id); }
    void SetWindowText(int id, const std::string& text) override;
    int GetCheck(int id) const override { return m_controls.GetCheck(id); }
    void SetCheck(int id, int check) override;
    int GetCurSel(int id) const override { return m_controls.GetCurSel(id); }
    void SetCurSel(int id, int index) override;
    void SelectItemText(int id, const std::string& text) override;
    int GetCount(int id) const override { return m_controls.GetCount(id); }
    std::string GetLBText(int id, int index) const override { return m_controls.GetLBText(id, index); }
    void AddString(int id, const std::string& text) override;
    void ResetContent(int id) override;
    fw::BOOL IsWindowEnabled(int id) const override { return m_controls.IsWindowEnabled(id); }
    void EnableWindow(int id, bool enable) override { m_controls.EnableWindow(id, enable); }
    void ShowWindow(int id, bool show) override { m_controls.ShowWindow(id, show); }
    void FocusAtEnd(int id) override { m_controls.FocusAtEnd(id); }
    void SetIcon(int id, int iconId) override { m_controls.SetIcon(id, iconId); }

  private:
    fw::IControlAccess& m_controls;
    std::set<int> m_written;
};

}  // namespace parameters
