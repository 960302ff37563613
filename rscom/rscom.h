// The line library's C interface, fixed so that any program can load the module at run time.
// This program resolves OPENCOM, DTR, TXD and PORTINFO, each on its own, and can do without
// PORTINFO; CLOSECOM it never calls.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define RSCOM_EXPORT __declspec(dllexport)
#else
#define RSCOM_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Opens the port named by "COM1,1200,N,8,1" ... "COM5,1200,N,8,1". Nonzero: open.
RSCOM_EXPORT int16_t OPENCOM(const char *settings);
// Asserts DTR for a nonzero level, clears it for 0.
RSCOM_EXPORT void DTR(int32_t level);
// Holds TxD in break for a nonzero level, releases it for 0.
RSCOM_EXPORT void TXD(int32_t level);
// Closes the open port. Nonzero: a port was closed.
RSCOM_EXPORT int16_t CLOSECOM(void);
// What stands behind COMn (n = 1 ... 5): one UTF-8 line "device TAB adapter TAB state TAB
// detail", NUL-terminated. The state is one of open, ready, missing, gone, denied (detail: the
// group that owns the device), busy (detail: the program holding it, where known), nodtr,
// nobreak, slowbreak (detail: the driver) and error (detail: the system's text). Returns the
// length without the NUL, or -1 when n is out of range or `size` is too small.
RSCOM_EXPORT int32_t PORTINFO(int32_t n, char *text, int32_t size);

#ifdef __cplusplus
}
#endif
