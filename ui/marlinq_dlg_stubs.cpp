// Operations of the main window that later parts of the tool supply. Each STUB logs its own name
// so that a press shows it was routed; each is replaced where its part is built.
#include "ui/marlinq_dlg.h"

namespace marlinq {

void CMarlinqDlg::LogStub(const char* name) {
    AddLog(std::string("[stub] ") + name);
}

}  // namespace marlinq
