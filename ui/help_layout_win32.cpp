#include "ui/help_file.h"

namespace marlinq {

HelpLayout ThisSystemHelpLayout() {
    return HelpLayout::CompiledHelp;
}

}  // namespace marlinq
