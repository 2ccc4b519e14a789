/* Tarnwick: raw sector access to a USB mass-storage disk through SCSI pass-through.
 *
 * Every function returns 0 on success and -1 on failure, internal failures such as exhausted
 * memory included (no C++ exception leaves the library); no further error detail is kept.
 * The library holds one device at a time, shared by the whole process, and takes no lock:
 * issue calls from one thread at a time.
 *
 * Calling order: IsEMMCUDiskExist / IsUsbMassStorageExist (optional), then OpenUsbEMMCDevice or
 * OpenUsbMassStorageDevice, then any number of commands, then CloseUsbEMMCDevice. Commands sent
 * while no device is open fail with -1 without reaching the driver.
 *
 * Drive letters: on Windows, the volume letter. On Linux, 'A' to 'Z' (either case) stand for the
 * SCSI disks /dev/sda to /dev/sdz; only removable disks are looked up or opened.
 *
 * Debug output: before each command a line "Length=<n>,SCSICommand:0x<CDB bytes in hex>" is
 * written, and a second line with the SCSI status (and sense key) when the command fails; loading
 * and unloading the library write one line each. On Windows these go to OutputDebugStringA; on
 * Linux to the system log, facility LOG_USER, level LOG_DEBUG, under the host program's identity.
 *
 * Data transfers: buffer lengths must be non-zero multiples of 512. SendSCSI and
 * SendModeSense3FCommand receive their data into an internal buffer that is not handed out; to
 * obtain the data of a command, send it with SendSCSIWithBufferToRead and a 512-byte buffer.
 */
#ifndef TARNWICK_H
#define TARNWICK_H

#if defined(TARNWICK_STATIC)
#define TARNWICK_API
#elif defined(_WIN32)
#if defined(TARNWICK_BUILD)
#define TARNWICK_API __declspec(dllexport)
#else
#define TARNWICK_API __declspec(dllimport)
#endif
#else
#define TARNWICK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the drive with this letter for raw access and makes it the device. */
TARNWICK_API int OpenUsbMassStorageDevice(char driveLetter);
/* Finds the eMMC disk (vendor "Qualcomm", product "MMC Storage") and opens it. */
TARNWICK_API int OpenUsbEMMCDevice(void);
/* Closes the device when one is open. Always 0. */
TARNWICK_API int CloseUsbEMMCDevice(void);
/* 0 when the eMMC disk is present. */
TARNWICK_API int IsEMMCUDiskExist(void);
/* 0 when a removable disk whose vendor and product strings contain these texts (case-sensitive)
 * is present. */
TARNWICK_API int IsUsbMassStorageExist(char* vendor, char* product);

/* Sends a 6, 10 or 12 byte CDB that reads up to 512 bytes into the internal buffer. */
TARNWICK_API int SendSCSI(unsigned char* cdb, unsigned int cdbLength);
/* Sends a CDB without data. */
TARNWICK_API int SendSCSIDataToDevice(unsigned char* cdb, unsigned int cdbLength);
/* Sends a CDB that reads bufferLength bytes into buffer. */
TARNWICK_API int SendSCSIWithBufferToRead(unsigned char* cdb, unsigned int cdbLength, unsigned char* buffer,
                                          unsigned int bufferLength);
/* Sends a CDB that writes bufferLength bytes from buffer. */
TARNWICK_API int SendSCSIWithBufferToWrite(unsigned char* cdb, unsigned int cdbLength, unsigned char* buffer,
                                           unsigned int bufferLength);

/* READ CAPACITY(10): bytes 0-3 of buffer receive the last LBA, bytes 4-7 the block length, both
 * big-endian. bufferLength must be a non-zero multiple of 512. */
TARNWICK_API int SendReadCapacityCommand(unsigned char* buffer, unsigned int bufferLength);
/* MODE SENSE(6) of all pages, allocation length 12, into the internal buffer. */
TARNWICK_API int SendModeSense3FCommand(void);
/* SYNCHRONIZE CACHE(10). */
TARNWICK_API int SendSyncCacheCommand(void);
/* PREVENT ALLOW MEDIUM REMOVAL with prevent set. */
TARNWICK_API int SendMediaRemovalCommand(void);

/* READ(10) of sectorCount (1-255) sectors of 512 bytes from firstSector into buffer. The sectors
 * must lie within the 32-bit LBA range. */
TARNWICK_API int ReadFromEMMC(unsigned long firstSector, unsigned char* buffer, unsigned char sectorCount);
/* Writes length bytes from firstSector on, in commands of 128 sectors; the tail of the last sector
 * is written as zeros. Stops at the first failed command (the sectors before it stay written).
 * The sectors must lie within the 32-bit LBA range. */
TARNWICK_API int WriteFileToEMMC(unsigned long firstSector, unsigned char* data, unsigned long length);

#ifdef __cplusplus
}
#endif

#endif /* TARNWICK_H */
