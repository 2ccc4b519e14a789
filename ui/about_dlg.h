// The About box: the main icon, the tool's name and version, and OK.
#pragma once

#include "framework/dialog.h"

namespace marlinq {

class CAboutDlg : public fw::CDialog {
  public:
    explicit CAboutDlg(fw::CDialog* parent);
};

}  // namespace marlinq
