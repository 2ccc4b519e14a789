#include "ui/tab_sheet.h"

namespace marlinq {

fw::BOOL CTabSheet::AppendPage(fw::CDialog* page, fw::UINT templateId, const char* title) {
    if (m_nPageCount >= MAX_TAB_PAGES || page == nullptr) {
        return fw::FALSE;
    }
    m_pszTitles[m_nPageCount] = title;
    m_nTemplateIds[m_nPageCount] = templateId;
    m_pPages[m_nPageCount] = page;
    ++m_nPageCount;
    return fw::TRUE;
}

void CTabSheet::CreatePages() {
    if (m_nPageCount == 0) {
        return;
    }
    for (int i = 0; i < m_nPageCount; ++i) {
        m_pPages[i]->Create(m_nTemplateIds[i], GetDlgCtrlID(), i);
        InsertItem(i, m_pszTitles[i] != nullptr ? m_pszTitles[i] : "");
    }
    m_pPages[0]->ShowWindow(fw::TRUE);
    for (int i = 1; i < m_nPageCount; ++i) {
        m_pPages[i]->ShowWindow(fw::FALSE);
    }
    PlacePages();
}

void CTabSheet::PlacePages() {
    // The pixel rectangle is the view's business; here the pages get their order and visibility.
    for (int i = 0; i < m_nPageCount; ++i) {
        m_pPages[i]->ShowWindow(i == 0 ? fw::TRUE : fw::FALSE);
    }
}

void CTabSheet::OnLButtonDown(int tab) {
    fw::CTabCtrl::OnLButtonDown(tab);
    const int focus = GetCurFocus();
    if (focus == m_nCurPage || focus < 0 || focus >= m_nPageCount) {
        return;
    }
    m_pPages[m_nCurPage]->ShowWindow(fw::FALSE);
    m_nCurPage = focus;
    m_pPages[m_nCurPage]->ShowWindow(fw::TRUE);
}

fw::CDialog* CTabSheet::GetPage(int index) const {
    return index >= 0 && index < m_nPageCount ? m_pPages[index] : nullptr;
}

}  // namespace marlinq
