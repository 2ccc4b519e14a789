// The four mode pages of the main window's tab control. They hold parameter controls only.
#pragma once

#include "framework/dialog.h"

namespace marlinq {

class CMarlinqDlg;

class CDlgTCPMode : public fw::CDialog {
  public:
    explicit CDlgTCPMode(CMarlinqDlg* owner);
    void OnChkImsi();

  protected:
    fw::BOOL OnInitDialog() override;

  private:
    CMarlinqDlg* m_pOwner;
};

class CDlgModBusMode : public fw::CDialog {
  public:
    explicit CDlgModBusMode(fw::CDialog* parent);
};

class CDlgHTTPSMode : public fw::CDialog {
  public:
    explicit CDlgHTTPSMode(fw::CDialog* parent);

  protected:
    fw::BOOL OnInitDialog() override;
};

class CDlgMQTTMode : public fw::CDialog {
  public:
    explicit CDlgMQTTMode(fw::CDialog* parent);
};

}  // namespace marlinq
