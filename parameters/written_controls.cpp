#include "parameters/written_controls.h"

namespace parameters {

// Only what changes a control's value counts; enabling, showing and focus do not.

void WrittenControls::SetWindowText(int id, const std::string& text) {
    m_written.insert(id);
    m_controls.SetWindowText(id, text);
}

void WrittenControls::SetCheck(int id, int check) {
    m_written.insert(id);
    m_controls.SetCheck(id, check);
}

void WrittenControls::SetCurSel(int id, int index) {
    m_written.insert(id);
    m_controls.SetCurSel(id, index);
}

void WrittenControls::SelectItemText(int id, const std::string& text) {
    m_written.insert(id);
    m_controls.SelectItemText(id, text);
}

void WrittenControls::AddString(int id, const std::string& text) {
    m_written.insert(id);
    m_controls.AddString(id, text);
}

void WrittenControls::ResetContent(int id) {
    m_written.insert(id);
    m_controls.ResetContent(id);
}

}  // namespace parameters
