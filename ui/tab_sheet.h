// The tab control of the main window that hosts the mode pages, one child dialog per tab.
#pragma once

#include "framework/control.h"
#include "framework/dialog.h"

namespace marlinq {

class CTabSheet : public fw::CTabCtrl {
  public:
    static constexpr int MAX_TAB_PAGES = 16;

    CTabSheet() = default;
    ~CTabSheet() override = default;

    // Records a page at the end; does nothing when MAX_TAB_PAGES are recorded. Creates no window.
    fw::BOOL AppendPage(fw::CDialog* page, fw::UINT templateId, const char* title);
    // Creates every recorded page as a child inside this control, inserts its tab, shows page 0.
    void CreatePages();
    // Places the pages over the display area: page 0 shown, every other page hidden.
    void PlacePages();
    // A press on tab `tab`: the tab control's own handling, then the focused tab's page is shown.
    void OnLButtonDown(int tab) override;

    int GetPageCount() const { return m_nPageCount; }
    int GetCurPage() const { return m_nCurPage; }
    fw::CDialog* GetPage(int index) const;

    const char* m_pszTitles[MAX_TAB_PAGES] = {};
    fw::UINT m_nTemplateIds[MAX_TAB_PAGES] = {};
    fw::CDialog* m_pPages[MAX_TAB_PAGES] = {};  // not owned: the pages are members of the window
    int m_nPageCount = 0;
    int m_nCurPage = 0;
};

}  // namespace marlinq
