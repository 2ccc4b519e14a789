// Saves two value sets in turn to the file named by its argument, forever, from the directory
// named by its second argument (where the scratch container goes). After the first complete
// save it writes "R" to its standard output. The fault test kills it at random moments.
#include <unistd.h>

#include <cstdio>

#include "config_test_support.h"
#include "configfile/config_document.h"
#include "configfile/config_save.h"

int main(int argc, char** argv) {
    if (argc != 3 || ::chdir(argv[2]) != 0) {
        return 2;
    }
    const std::string documents[] = {configfile::WriteConfigDocument(configtest::KillTestValues(false)),
                                     configfile::WriteConfigDocument(configtest::KillTestValues(true))};
    for (unsigned long i = 0;; ++i) {
        if (configfile::SaveDocumentThroughScratch(documents[(i + 1) % 2], argv[1]).outcome !=
            configfile::ConfigSaveOutcome::kSaved) {
            return 1;
        }
        if (i == 0 && (std::fputs("R", stdout) < 0 || std::fflush(stdout) != 0)) {
            return 1;
        }
    }
}
