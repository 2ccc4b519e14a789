// The About box: the main icon, the tool's name and version, the folder where the tool writes its
// files (in a read-only edit, so that it can be copied), and OK.
#pragma once

#include "framework/dialog.h"

namespace marlinq {

class CAboutDlg : public fw::CDialog {
  public:
    explicit CAboutDlg(fw::CDialog* parent);

  protected:
    fw::BOOL OnInitDialog() override;
};

}  // namespace marlinq
