/* A C program linked against libtarnwick: the header is valid C and the exports have C linkage.
 * Without an open device every command fails and closing succeeds. */
#include <stdio.h>

#include "tarnwick.h"

int main(void) {
    unsigned char cdb[6] = {0};
    unsigned char buffer[512] = {0};
    int failures = 0;
    failures += CloseUsbEMMCDevice() != 0;
    failures += SendSCSI(cdb, 6) != -1;
    failures += SendSCSIWithBufferToRead(cdb, 6, buffer, 512) != -1;
    failures += ReadFromEMMC(0, buffer, 1) != -1;
    failures += WriteFileToEMMC(0, buffer, 512) != -1;
    failures += WriteFileToEMMC(0, buffer, 0) != 0;
    if (failures != 0) {
        fprintf(stderr, "%d unexpected results\n", failures);
    }
    return failures == 0 ? 0 : 1;
}
