#include "ui/about_dlg.h"

#include "ui/resource.h"

namespace marlinq {

CAboutDlg::CAboutDlg(fw::CDialog* parent) : fw::CDialog(IDD_ABOUTBOX, parent) {}

}  // namespace marlinq
