#include "ui/about_dlg.h"

#include "ui/program_info.h"
#include "ui/resource.h"

namespace marlinq {

CAboutDlg::CAboutDlg(fw::CDialog* parent) : fw::CDialog(IDD_ABOUTBOX, parent) {}

fw::BOOL CAboutDlg::OnInitDialog() {
    const fw::BOOL result = fw::CDialog::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_FILES, FilesFolder());
    return result;
}

}  // namespace marlinq
